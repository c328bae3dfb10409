#include "tests/support/ProcessLocale.h"

namespace quillorn::test {

std::string NativeLocaleName(const std::string& name) {
    // The users' locale, as a Russian Windows names it to the C library.
    if (name == "ru_RU.UTF-8")
        return "Russian_Russia.1251";
    return name;
}

}  // namespace quillorn::test
