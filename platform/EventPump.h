// The callback a run and the HTTP client call while they wait, so the window stays responsive:
// QCoreApplication::processEvents in the window, a no-op or a counter in tests.
#pragma once

#include <functional>

namespace quillorn {

using EventPump = std::function<void()>;

inline void Pump(const EventPump& pump) {
    if (pump) pump();
}

}  // namespace quillorn
