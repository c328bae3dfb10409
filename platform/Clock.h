// The run's sense of time: a wrapping 32-bit millisecond tick counter and sleeping. Production uses
// SystemClock; a run under test gets a clock whose sleeps only advance virtual time.
#pragma once

#include <cstdint>

namespace quillorn {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since system start, modulo 2^32.
    virtual std::uint32_t Tick() = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
};

// CLOCK_BOOTTIME in milliseconds, the stand-in for the Windows tick counter.
class SystemClock final : public Clock {
public:
    std::uint32_t Tick() override;
    void Sleep(std::uint32_t ms) override;
};

}  // namespace quillorn
