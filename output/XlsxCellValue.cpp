#include "output/XlsxCellValue.h"

#include <QDate>

#include <charconv>
#include <string>

namespace quillorn {
namespace {

constexpr int kMaxExactDigits = 15;
constexpr std::size_t kMaxLinkLength = 2079;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view s) {
    for (char c : s) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return !s.empty();
}

// The integer part of a number: "0" or digits without a leading zero.
bool IsCanonicalIntegerPart(std::string_view s) {
    return AllDigits(s) && (s.size() == 1 || s.front() != '0');
}

bool ParseNumber(std::string_view s, std::string_view decimalSeparator, double& out) {
    bool negative = !s.empty() && s.front() == '-';
    std::string_view body = negative ? s.substr(1) : s;

    std::string_view whole = body;
    std::string_view fraction;
    bool hasFraction = false;
    if (std::size_t point = body.find('.'); point != std::string_view::npos) {
        whole = body.substr(0, point);
        fraction = body.substr(point + 1);
        hasFraction = true;
    } else if (!decimalSeparator.empty() && decimalSeparator != ".") {
        if (std::size_t sep = body.find(decimalSeparator); sep != std::string_view::npos) {
            whole = body.substr(0, sep);
            fraction = body.substr(sep + decimalSeparator.size());
            hasFraction = true;
        }
    }
    if (!IsCanonicalIntegerPart(whole)) {
        return false;
    }
    if (hasFraction && (!AllDigits(fraction) || fraction.back() == '0')) {
        return false;
    }
    // Significant digits: a zero integer part before a fraction carries none.
    std::size_t digits = (whole == "0" && hasFraction) ? 0 : whole.size();
    if (hasFraction) {
        std::size_t firstNonZero = (whole == "0") ? fraction.find_first_not_of('0') : 0;
        digits += fraction.size() - firstNonZero;
    }
    if (digits > static_cast<std::size_t>(kMaxExactDigits)) {
        return false;
    }
    if (negative && whole == "0" && !hasFraction) {
        return false;  // "-0" would come back as "0"
    }

    std::string normal(whole);
    if (hasFraction) {
        normal += '.';
        normal += fraction;
    }
    double value = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec != std::errc() || end != normal.data() + normal.size()) {
        return false;
    }
    out = negative ? -value : value;
    return true;
}

int TwoDigits(std::string_view s, std::size_t at) {
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

bool ParseDate(std::string_view s, XlsxCellValue& out) {
    if (s.size() != 10 || s[2] != '.' || s[5] != '.') {
        return false;
    }
    if (!AllDigits(s.substr(0, 2)) || !AllDigits(s.substr(3, 2)) || !AllDigits(s.substr(6, 4))) {
        return false;
    }
    int day = TwoDigits(s, 0);
    int month = TwoDigits(s, 3);
    int year = TwoDigits(s, 6) * 100 + TwoDigits(s, 8);
    if (year < 1900 || !QDate(year, month, day).isValid()) {
        return false;
    }
    out.kind = XlsxCellValue::Kind::Date;
    out.year = year;
    out.month = month;
    out.day = day;
    return true;
}

// "&#9;", "&#10;" or "&#13;" at the start of s: its length and the character it stands for, or 0.
std::size_t EscapeAt(std::string_view s, char& stands) {
    if (s.starts_with("&#9;")) {
        stands = '\t';
        return 4;
    }
    if (s.starts_with("&#10;")) {
        stands = '\n';
        return 5;
    }
    if (s.starts_with("&#13;")) {
        stands = '\r';
        return 5;
    }
    return 0;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Characters the writing library percent-encodes in a link, so that they take three.
bool EncodedByWriter(char c) {
    return std::string_view(" \"%<>[]`^{}\\").find(c) != std::string_view::npos;
}

}  // namespace

bool ResolveCellEscapes(std::string_view text, std::string& shown) {
    std::size_t at = text.find("&#");
    char stands = 0;
    while (at != std::string_view::npos && EscapeAt(text.substr(at), stands) == 0) {
        at = text.find("&#", at + 2);
    }
    if (at == std::string_view::npos) {
        return false;
    }
    shown.assign(text.substr(0, at));
    while (at < text.size()) {
        std::size_t length = text[at] == '&' ? EscapeAt(text.substr(at), stands) : 0;
        if (length == 0) {
            shown += text[at++];
            continue;
        }
        at += length;
        if (stands == '\r') {
            // A cell breaks its lines with a line feed alone; CR LF is one break, not two.
            stands = '\n';
            if (text.substr(at).starts_with("&#10;")) {
                at += 5;
            }
        }
        shown += stands;
    }
    return true;
}

bool IsWebLink(std::string_view text) {
    std::size_t schemeLength = StartsWithNoCase(text, "https://")  ? 8
                               : StartsWithNoCase(text, "http://") ? 7
                                                                   : 0;
    if (schemeLength == 0 || text.size() == schemeLength || text[schemeLength] == '/') {
        return false;
    }
    std::size_t encodedLength = 0;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            return false;
        }
        encodedLength += EncodedByWriter(c) ? 3 : 1;
    }
    return encodedLength <= kMaxLinkLength && text.find("internal:") == std::string_view::npos &&
           text.find("external:") == std::string_view::npos;
}

XlsxCellValue ClassifyCell(std::string_view text, std::string_view decimalSeparator,
                           bool dateColumn) {
    XlsxCellValue value;
    if (text.empty()) {
        return value;
    }
    std::string_view core = text.front() == ' ' ? text.substr(1) : text;
    if (dateColumn && ParseDate(core, value)) {
        return value;
    }
    if (!core.empty() && ParseNumber(core, decimalSeparator, value.number)) {
        value.kind = XlsxCellValue::Kind::Number;
        return value;
    }
    value.kind = XlsxCellValue::Kind::Text;
    return value;
}

}  // namespace quillorn
