// The Windows twin of SystemError.cpp: the C library's text for an errno value, which the C
// library's own file calls leave behind (a failed fopen or write). The platform layer's Windows
// calls name their failures with WindowsErrorText instead, in the user's language.
#include "platform/SystemError.h"

#include <cstring>

namespace quillorn {

QString SystemErrorText(int errnum) {
    char buffer[256] = {};
    if (strerror_s(buffer, sizeof buffer, errnum) != 0)
        return QStringLiteral("Error %1").arg(errnum);
    return QString::fromLocal8Bit(buffer);
}

}  // namespace quillorn
