// The Windows twin of Windows1251Table.cpp: Qt is built without ICU here and has no Windows-1251
// converter, so the table comes from the system's code page 1251.
#include "platform/Windows1251Table.h"

#include <windows.h>

namespace quillorn {

std::array<char16_t, 256> Windows1251CodeUnits() {
    constexpr UINT kWindows1251 = 1251;
    std::array<char16_t, 256> units{};
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t unit = 0;
        const int made =
            ::MultiByteToWideChar(kWindows1251, MB_ERR_INVALID_CHARS, &byte, 1, &unit, 1);
        units[b] =
            made == 1 && unit != 0xFFFD ? static_cast<char16_t>(unit) : static_cast<char16_t>(b);
    }
    return units;
}

}  // namespace quillorn
