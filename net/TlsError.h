// The TLS library's error queue as message text.
#pragma once

#include <QString>

namespace quillorn {

// The first queued error as text, emptying the queue; fallback when none is queued.
QString TakeTlsError(const char* fallback);

}  // namespace quillorn
