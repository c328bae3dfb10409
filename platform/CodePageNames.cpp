// How the names and numbers the systems give their character sets map to the two code pages
// Quillorn knows; the same on every platform, only asking the system differs.
#include <QByteArray>

#include "platform/SystemCodePage.h"

namespace quillorn {

TextEncoding CodePageOfCharset(QByteArrayView charset) {
    QByteArray name = charset.toByteArray().toUpper();
    name.replace('-', QByteArray()).replace('_', QByteArray());
    // glibc names ASCII after its standard; other C libraries use the short names.
    static constexpr const char* kUtf8Compatible[] = {"UTF8", "ANSIX3.41968", "ASCII", "USASCII"};
    for (const char* known : kUtf8Compatible) {
        if (name == known)
            return TextEncoding::Utf8;
    }
    return TextEncoding::Windows1251;
}

TextEncoding CodePageOfWindowsCodePage(unsigned int number) {
    constexpr unsigned int kUtf8 = 65001;
    constexpr unsigned int kUsAscii = 20127;
    return number == kUtf8 || number == kUsAscii ? TextEncoding::Utf8 : TextEncoding::Windows1251;
}

}  // namespace quillorn
