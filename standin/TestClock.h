// Virtual time for runs that would otherwise wait through real back-offs and pauses: a Clock whose
// sleeps only advance its counter, so twenty one-second back-offs cost no real time.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Clock.h"

namespace quillorn::standin {

// Sleep advances the counter at once. OnSleep, when set, is called after every sleep with its
// length, so a caller can act at a chosen virtual moment (press stop, edit the card list).
class TestClock final : public Clock {
public:
    explicit TestClock(std::uint32_t start = 5'000'000) : now_(start) {}

    std::uint32_t Tick() override { return now_; }
    void Sleep(std::uint32_t ms) override {
        now_ += ms;
        totalSlept_ += ms;
        ++sleepCount_;
        if (OnSleep)
            OnSleep(ms);
    }

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

}  // namespace quillorn::standin
