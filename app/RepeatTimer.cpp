#include "app/RepeatTimer.h"

#include <algorithm>

namespace quillorn {

RepeatTimer::RepeatTimer(QObject* parent) : QObject(parent), timer_(this) {
    // A coarse timer may be off by 5% of its interval: a quarter of an hour on 300 minutes.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RepeatTimer::Tick);
}

void RepeatTimer::SetInterval(int intervalMs) {
    intervalMs_ = std::max(0, intervalMs);
    if (enabled_)
        Restart();
}

void RepeatTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Restart();
}

void RepeatTimer::Restart() {
    timer_.stop();
    if (enabled_ && intervalMs_ > 0)
        timer_.start(intervalMs_);
}

}  // namespace quillorn
