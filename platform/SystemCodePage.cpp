#include "platform/SystemCodePage.h"

#include <langinfo.h>

#include <QByteArray>

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

TextEncoding SystemCodePage() {
    return CodePageOfCharset(nl_langinfo(CODESET));
}

}  // namespace quillorn
