// The timer that starts a run again after N minutes. It keeps the rules of a window timer: changing
// the interval of an enabled timer restarts its countdown, enabling a disabled one starts a fresh
// countdown, setting the enabled flag to the value it has changes nothing, and an interval of 0
// never ticks. It is periodic; its owner stops it in the tick handler to use it as a one-shot.
#pragma once

#include <QObject>
#include <QTimer>

namespace quillorn {

class RepeatTimer final : public QObject {
    Q_OBJECT
public:
    explicit RepeatTimer(QObject* parent = nullptr);

    int Interval() const { return intervalMs_; }
    void SetInterval(int intervalMs);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether a countdown is running (enabled with an interval above 0).
    bool Counting() const { return timer_.isActive(); }
    // Milliseconds left of the running countdown, -1 when none runs.
    int RemainingMs() const { return timer_.remainingTime(); }

signals:
    void Tick();

private:
    void Restart();

    QTimer timer_;
    int intervalMs_ = 0;
    bool enabled_ = false;
};

}  // namespace quillorn
