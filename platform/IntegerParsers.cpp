#include "platform/IntegerParsers.h"

#include <QRegularExpression>
#include <cstdint>

#include "platform/Errors.h"
#include "platform/HexDigits.h"

namespace quillorn {
namespace {

[[noreturn]] void NotAnInteger(const QString& text) {
    throw Failure(QStringLiteral("''%1'' is not a valid integer value").arg(text));
}

}  // namespace

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
        const int digit = HexDigitValue(text[i].unicode());
        if (digit < 0 || digit >= base)
            NotAnInteger(text);
        value = value * base + digit;
        if (value > limit)
            NotAnInteger(text);
    }
    const auto bits = static_cast<std::uint32_t>(negative ? -value : value);
    return static_cast<std::int32_t>(bits);
}

std::optional<int> ParseIniInteger(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^([+-]?)(?:0[xX]([0-9A-Fa-f]+)|([0-9]+))$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool negative = match.captured(1) == QStringLiteral("-");
    bool ok = false;
    std::int64_t value = 0;
    if (match.hasCaptured(2) && !match.captured(2).isEmpty()) {
        const quint64 bits = match.captured(2).toULongLong(&ok, 16);
        if (!ok || bits > 0xFFFFFFFFull)
            return std::nullopt;
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    } else {
        value = match.captured(3).toLongLong(&ok, 10);
        if (!ok)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace quillorn
