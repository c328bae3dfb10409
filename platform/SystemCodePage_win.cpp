// The Windows twin of SystemCodePage.cpp: the ANSI code page, which does not depend on the C
// library's locale.
#include "platform/SystemCodePage.h"

#include <windows.h>

namespace quillorn {

TextEncoding SystemCodePage() {
    return CodePageOfWindowsCodePage(::GetACP());
}

}  // namespace quillorn
