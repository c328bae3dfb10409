#include "json/ClassicDouble.h"

#include <locale.h>
#include <cstdlib>

namespace quillorn {

double ClassicStrtod(const char* text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, nullptr, cLocale);
}

}  // namespace quillorn
