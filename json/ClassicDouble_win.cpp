// The Windows twin of ClassicDouble.cpp: the C runtime's own locale objects.
#include "json/ClassicDouble.h"

#include <locale.h>
#include <cstdlib>

namespace quillorn {

double ClassicStrtod(const char* text) {
    static const _locale_t cLocale = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(text, nullptr, cLocale);
}

}  // namespace quillorn
