// The Windows twin of ClassicNumberFormat.cpp. The C runtime has no locale object a thread can
// switch to: the thread is given a locale of its own (_configthreadlocale) whose numeric part is
// set to C, and put back afterwards. The system's msvcrt.dll has no per-thread locales; there the
// numeric part changes for the whole process while the object lives, and only when it is not C
// already (Quillorn itself never sets another on Windows, where Qt leaves the C runtime's locale
// alone).
#include "output/ClassicNumberFormat.h"

#include "platform/Errors.h"

#include <locale.h>
#include <cstring>
#include <string>

namespace quillorn {

struct ClassicNumberFormat::Saved {
    int previousMode = -1;  // -1: the runtime has no per-thread locales, nothing to put back
    bool changed = false;
    std::string previousNumeric;
};

ClassicNumberFormat::ClassicNumberFormat() : saved_(std::make_unique<Saved>()) {
    saved_->previousMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* numeric = setlocale(LC_NUMERIC, nullptr);
    if (numeric && std::strcmp(numeric, "C") == 0)
        return;
    saved_->previousNumeric = numeric ? numeric : "C";
    if (!setlocale(LC_NUMERIC, "C")) {
        if (saved_->previousMode != -1)
            _configthreadlocale(saved_->previousMode);
        throw Failure(QStringLiteral("Cannot set up the number format."));
    }
    saved_->changed = true;
}

ClassicNumberFormat::~ClassicNumberFormat() {
    if (saved_->changed)
        setlocale(LC_NUMERIC, saved_->previousNumeric.c_str());
    if (saved_->previousMode != -1)
        _configthreadlocale(saved_->previousMode);
}

}  // namespace quillorn
