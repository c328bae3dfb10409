// The two integer readings of the files a user writes by hand, kept side by side because they
// differ on purpose: proxy.txt's port is read as the program's toolkit converts text to an integer,
// settings.ini's values as the profile functions read them. Each keeps its exact rules: a file
// that works today must keep working, and one that is refused must keep being refused.
#pragma once

#include <QString>
#include <optional>

namespace quillorn {

// The proxy port: a signed 32-bit integer from text: leading spaces (no other blank), then an
// optional sign, then decimal digits, or hexadecimal digits after "$" or "0x". Decimal values must
// fit a signed 32-bit integer; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1). Anything
// else, an empty text and trailing characters included, raises Failure "''<text>'' is not a valid
// integer value".
int ParseToolkitInteger(const QString& text);

// A settings.ini value: optional sign, then decimal digits, or hexadecimal digits after "0x" or
// "0X"; surrounding blanks (any Unicode white space) are allowed. Anything else, or a value that
// does not fit in 32 bits, is not an integer. Hexadecimal takes the 32-bit pattern (0xFFFFFFFF is
// -1).
std::optional<int> ParseIniInteger(const QString& text);

}  // namespace quillorn
