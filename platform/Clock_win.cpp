// The Windows twin of Clock.cpp: the system's own millisecond tick counter, which wraps after
// 49.7 days exactly as the run's file names expect.
#include "platform/Clock.h"

#include <windows.h>

namespace quillorn {

std::uint32_t SystemClock::Tick() {
    return static_cast<std::uint32_t>(::GetTickCount());
}

void SystemClock::Sleep(std::uint32_t ms) {
    // The counter moves in steps of the timer interrupt (about 16 ms): the sleep goes on until
    // the counter, too, shows that ms have passed, so that a wait measured in ticks is never cut
    // short.
    const std::uint32_t start = Tick();
    ::Sleep(static_cast<DWORD>(ms));
    while (Tick() - start < ms)
        ::Sleep(1);
}

}  // namespace quillorn
