#include "tests/support/ProcessLocale.h"

namespace quillorn::test {

std::string NativeLocaleName(const std::string& name) {
    return name;
}

}  // namespace quillorn::test
