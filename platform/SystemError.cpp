#include "platform/SystemError.h"

#include <cstring>

namespace quillorn {

QString SystemErrorText(int errnum) {
    char buffer[256] = {};
    // The GNU strerror_r returns its text, which need not be in buffer.
    const char* text = strerror_r(errnum, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

}  // namespace quillorn
