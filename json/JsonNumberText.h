// The text forms of the two non-integer number kinds, as AsString writes them: fixed point with
// four implied decimals, and the 15-significant-digit floating form. Always a point as separator.
#pragma once

#include <QString>
#include <cstdint>

namespace quillorn {

// value holds the number times 10 000. "0" for zero; otherwise the integer digits (at least one),
// a point, and the fraction digits without trailing zeros: 47000 -> "4.7", 50000 -> "5.".
QString CurrencyText(std::int64_t value);

// The value rounded to 15 significant digits with trailing fraction zeros removed and the point
// kept: positional for decimal exponents -1 to 14 (no point at 14), otherwise d.ddde+XXX with a
// three-digit exponent: 1e5 -> "100000.", 0.00001 -> "1.e-005", 0 -> "0.". Infinities are "inf"
// and "-inf".
QString DoubleText(double value);

}  // namespace quillorn
