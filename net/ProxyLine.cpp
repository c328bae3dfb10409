#include "net/ProxyLine.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "platform/TrimControls.h"

namespace quillorn {
namespace {

[[noreturn]] void NotAnInteger(const QString& text) {
    throw Failure(QStringLiteral("''%1'' is not a valid integer value").arg(text));
}

int DigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return 99;
}

}  // namespace

ProxyLine ProxyLine::Parse(const QString& line) {
    ProxyLine result;
    QString address = line;
    const qsizetype at = line.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString credentials = line.left(at);
        address = line.mid(at + 1);
        const qsizetype colon = credentials.indexOf(QLatin1Char(':'));
        result.login = colon < 0 ? credentials : credentials.left(colon);
        if (colon >= 0)
            result.password = credentials.mid(colon + 1);
    }
    const qsizetype colon = address.indexOf(QLatin1Char(':'));
    result.host = colon < 0 ? address : address.left(colon);
    if (colon >= 0)
        result.portText = address.mid(colon + 1);
    return result;
}

std::optional<QString> ReadProxyLine(const QString& path) {
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileReadFailure& failure) {
        if (failure.FailedStep() != FileReadFailure::Step::Open)
            throw;
        throw Failure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, failure.Reason()));
    }
    if (!bytes)
        return std::nullopt;
    const QString text = DecodeByMark(*bytes).text;
    qsizetype end = 0;
    while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
        ++end;
    const QString first = TrimControls(text.left(end));
    if (first.isEmpty())
        return std::nullopt;
    return first;
}

int ParseToolkitInteger(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))  // spaces only: a tab is refused
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == QLatin1Char('0') &&
               (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        NotAnInteger(text);
    // Decimal values must fit a signed 32-bit integer; hexadecimal ones may use all 32 bits.
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            NotAnInteger(text);
        value = value * base + digit;
        if (value > limit)
            NotAnInteger(text);
    }
    const auto bits = static_cast<std::uint32_t>(negative ? -value : value);
    return static_cast<std::int32_t>(bits);
}

}  // namespace quillorn
