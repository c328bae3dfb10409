#include "output/ClassicNumberFormat.h"

#include "platform/Errors.h"
#include "platform/SystemError.h"

#include <locale.h>
#include <cerrno>

namespace quillorn {

struct ClassicNumberFormat::Saved {
    locale_t own = nullptr;
    locale_t previous = nullptr;
};

ClassicNumberFormat::ClassicNumberFormat() : saved_(std::make_unique<Saved>()) {
    // A copy of the thread's locale with only the numeric part replaced: messages, character
    // classes and the rest stay the user's.
    const locale_t current = uselocale(static_cast<locale_t>(nullptr));
    const locale_t copy = duplocale(current);
    if (copy)
        saved_->own = newlocale(LC_NUMERIC_MASK, "C", copy);
    if (!saved_->own) {
        const int error = errno;
        if (copy)
            freelocale(copy);
        throw Failure(
            QStringLiteral("Cannot set up the number format. %1").arg(SystemErrorText(error)));
    }
    saved_->previous = uselocale(saved_->own);
}

ClassicNumberFormat::~ClassicNumberFormat() {
    uselocale(saved_->previous);
    freelocale(saved_->own);
}

}  // namespace quillorn
