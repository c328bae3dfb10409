// The run's sense of time: a wrapping 32-bit millisecond tick counter and sleeping. Production uses
// SystemClock; tests use TestClock, whose sleeps only advance virtual time.
#pragma once

#include <cstdint>
#include <functional>

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

// Virtual time: Sleep advances the counter at once. OnSleep, when set, is called after every sleep
// with its length, so a test can act at a chosen virtual moment (press stop, edit the card list).
class TestClock final : public Clock {
public:
    explicit TestClock(std::uint32_t start = 5'000'000) : now_(start) {}

    std::uint32_t Tick() override { return now_; }
    void Sleep(std::uint32_t ms) override;

    void Advance(std::uint32_t ms) { now_ += ms; }
    void Set(std::uint32_t tick) { now_ = tick; }
    std::uint64_t TotalSlept() const { return totalSlept_; }
    std::uint64_t SleepCount() const { return sleepCount_; }

    std::function<void(std::uint32_t ms)> OnSleep;

private:
    std::uint32_t now_;
    std::uint64_t totalSlept_ = 0;
    std::uint64_t sleepCount_ = 0;
};

}  // namespace quillorn
