#include "platform/Clock.h"

#include <ctime>

namespace quillorn {

std::uint32_t SystemClock::Tick() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1'000'000u;
    return static_cast<std::uint32_t>(ms);  // wraps like the Windows counter
}

void SystemClock::Sleep(std::uint32_t ms) {
    timespec request{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
    timespec remaining{};
    while (nanosleep(&request, &remaining) != 0)
        request = remaining;  // resume after a signal
}

}  // namespace quillorn
