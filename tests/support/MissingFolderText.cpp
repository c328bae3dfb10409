#include "tests/support/MissingFolderText.h"

#include <cerrno>

#include "platform/SystemError.h"

namespace quillorn::test {

QString MissingFolderText() {
    return SystemErrorText(ENOENT);
}

}  // namespace quillorn::test
