#include "output/ClassicNumberFormat.h"

#include "platform/Errors.h"
#include "platform/SystemError.h"

#include <cerrno>

namespace quillorn {

ClassicNumberFormat::ClassicNumberFormat() {
    // A copy of the thread's locale with only the numeric part replaced: messages, character
    // classes and the rest stay the user's.
    const locale_t current = uselocale(static_cast<locale_t>(nullptr));
    const locale_t copy = duplocale(current);
    if (copy)
        own_ = newlocale(LC_NUMERIC_MASK, "C", copy);
    if (!own_) {
        const int error = errno;
        if (copy)
            freelocale(copy);
        throw Failure(
            QStringLiteral("Cannot set up the number format. %1").arg(SystemErrorText(error)));
    }
    previous_ = uselocale(own_);
}

ClassicNumberFormat::~ClassicNumberFormat() {
    uselocale(previous_);
    freelocale(own_);
}

}  // namespace quillorn
