// The system's own words for a failed call, for the messages that name what went wrong.
#pragma once

#include <QString>

namespace quillorn {

// The system's text for an errno value in the user's language, e.g. "No space left on device".
// Safe to call from any thread.
QString SystemErrorText(int errnum);

}  // namespace quillorn
