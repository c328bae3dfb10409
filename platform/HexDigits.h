// Hexadecimal digits as wire and file formats write them: ASCII only, either case, whatever the
// locale.
#pragma once

namespace quillorn {

// 0-15 for '0'-'9', 'a'-'f' and 'A'-'F'; -1 for anything else. A char converts without loss, so
// bytes and UTF-16 code units both fit.
constexpr int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

constexpr bool IsHexDigit(char16_t c) {
    return HexDigitValue(c) >= 0;
}

// The upper-case digit of the low four bits of value.
constexpr char UpperHexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0x0Fu];
}

}  // namespace quillorn
