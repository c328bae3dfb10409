// The clock of quillorn-harvest's runs: the system's own, or, for tests only (--minute-ms), one
// whose time runs faster, so the back-offs and pauses of a run against a failing stand-in cost
// milliseconds instead of seconds, as its repeat does.
#pragma once

#include <QElapsedTimer>

#include "platform/Clock.h"

namespace quillorn {

class ScaledClock final : public Clock {
public:
    // minuteMs: the real milliseconds one minute of the run's time lasts; 60000 is real time.
    explicit ScaledClock(int minuteMs);

    std::uint32_t Tick() override;
    void Sleep(std::uint32_t ms) override;

private:
    SystemClock system_;
    int minuteMs_;
    std::uint32_t startTick_;
    QElapsedTimer elapsed_;
};

}  // namespace quillorn
