// Text forms of nodes: AsString, and the compact JSON of objects and arrays.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "json/JsonNumberText.h"
#include "json/JsonValue.h"

namespace quillorn {

namespace {

std::string_view WithoutTrailingZeros(std::string_view digits) {
    while (!digits.empty() && digits.back() == '0')
        digits.remove_suffix(1);
    return digits;
}

// Minimal escaping: quote, backslash, slash and NUL; everything else is written as it is.
void AppendQuoted(QString& out, QStringView text) {
    out.append(u'"');
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'"' && c != u'\\' && c != u'/' && c != 0)
            continue;
        out.append(text.sliced(plain, i - plain));
        out.append(c == 0 ? QStringView(u"\\u0000") : QStringView(u"\\"));
        if (c != 0)
            out.append(QChar(c));
        plain = i + 1;
    }
    out.append(text.sliced(plain));
    out.append(u'"');
}

}  // namespace

QString CurrencyText(std::int64_t value) {
    if (value == 0)
        return QStringLiteral("0");
    const std::uint64_t magnitude = value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    std::string padded(digits, end);
    if (padded.size() < 5)
        padded.insert(0, 5 - padded.size(), '0');
    const std::string_view all(padded);
    std::string text = value < 0 ? "-" : "";
    text.append(all.substr(0, all.size() - 4));
    text.push_back('.');
    text.append(WithoutTrailingZeros(all.substr(all.size() - 4)));
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString DoubleText(double value) {
    if (value == 0)
        return QStringLiteral("0.");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    if (std::isnan(value))
        return QStringLiteral("nan");
    // d.dddddddddddddde±x: the 15 significant digits, correctly rounded, and the exponent after
    // rounding (9.999999999999999e14 becomes 1e15).
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 14)
                         .ptr;
    const std::string_view scientific(buffer, std::size_t(end - buffer));
    const std::size_t e = scientific.find('e');
    const int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());
    std::string digits;
    digits.push_back(scientific[0]);
    digits.append(scientific.substr(2, e - 2));  // 15 digits in all

    std::string text = value < 0 ? "-" : "";
    if (exponent < -1 || exponent > 14) {
        text.push_back(digits[0]);
        text.push_back('.');
        text.append(WithoutTrailingZeros(std::string_view(digits).substr(1)));
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text.append(tail);
    } else if (exponent == 14) {
        text.append(digits);
    } else if (exponent >= 0) {
        text.append(digits.substr(0, std::size_t(exponent) + 1));
        text.push_back('.');
        text.append(
            WithoutTrailingZeros(std::string_view(digits).substr(std::size_t(exponent) + 1)));
    } else {
        text.append("0.");
        text.append(WithoutTrailingZeros(digits));
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QString JsonValue::AsString() const {
    switch (type_) {
        case JsonKind::Null:
            return QStringLiteral("null");
        case JsonKind::Boolean:
            return bool_ ? QStringLiteral("true") : QStringLiteral("false");
        case JsonKind::Int:
            return QString::number(int_);
        case JsonKind::Currency:
            return CurrencyText(int_);
        case JsonKind::Double:
            return DoubleText(double_);
        case JsonKind::String:
            return Text().toString();
        case JsonKind::Object:
        case JsonKind::Array:
            break;
    }
    QString json;
    AppendJson(json);
    return json;
}

void JsonValue::AppendJson(QString& out) const {
    switch (type_) {
        case JsonKind::String:
            AppendQuoted(out, Text());
            return;
        case JsonKind::Array: {
            out.append(u'[');
            const JsonValue* items = array_->Items();
            for (std::uint32_t i = 0; i < array_->count_; ++i) {
                if (i > 0)
                    out.append(u',');
                items[i].AppendJson(out);
            }
            out.append(u']');
            return;
        }
        case JsonKind::Object: {
            out.append(u'{');
            const JsonObject::Entry* entries = table_->Entries();
            for (std::uint32_t i = 0; i < table_->count_; ++i) {
                if (i > 0)
                    out.append(u',');
                AppendQuoted(out, entries[i].Name());
                out.append(u':');
                entries[i].value.AppendJson(out);
            }
            out.append(u'}');
            return;
        }
        default:
            out.append(AsString());
            return;
    }
}

}  // namespace quillorn
