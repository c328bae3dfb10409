#include "platform/SystemCodePage.h"

#include <langinfo.h>

namespace quillorn {

TextEncoding SystemCodePage() {
    return CodePageOfCharset(nl_langinfo(CODESET));
}

}  // namespace quillorn
