#include "headless/ScaledClock.h"

#include <algorithm>

namespace quillorn {

namespace {

constexpr std::uint64_t kMinuteMs = 60000;

}  // namespace

ScaledClock::ScaledClock(int minuteMs) : minuteMs_(minuteMs), startTick_(system_.Tick()) {
    elapsed_.start();
}

std::uint32_t ScaledClock::Tick() {
    if (static_cast<std::uint64_t>(minuteMs_) == kMinuteMs)
        return system_.Tick();
    const auto real = static_cast<std::uint64_t>(elapsed_.elapsed());
    // Wraps like the system's counter.
    return startTick_ + static_cast<std::uint32_t>(real * kMinuteMs / std::uint64_t(minuteMs_));
}

void ScaledClock::Sleep(std::uint32_t ms) {
    if (static_cast<std::uint64_t>(minuteMs_) == kMinuteMs || ms == 0) {
        system_.Sleep(ms);
        return;
    }
    // At least a millisecond, so a wait in short steps never spins.
    const std::uint64_t real = std::uint64_t(ms) * std::uint64_t(minuteMs_) / kMinuteMs;
    system_.Sleep(static_cast<std::uint32_t>(std::max<std::uint64_t>(real, 1)));
}

}  // namespace quillorn
