#include "net/TlsError.h"

#include <openssl/err.h>

namespace quillorn {

QString TakeTlsError(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return QLatin1String(fallback);
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return QString::fromLatin1(text);
}

}  // namespace quillorn
