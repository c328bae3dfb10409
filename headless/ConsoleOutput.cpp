#include "headless/ConsoleOutput.h"

namespace quillorn {

void PrepareConsoleOutput() {
    // The terminal decodes by the locale, which a UTF-8 system shares, and knows the control
    // sequences itself.
}

}  // namespace quillorn
