// Turns SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C in a terminal, a terminal closing, a
// service being stopped) into an ordinary call on the event loop's thread, so the window saves the
// user's settings and card list, and a run in progress stops cleanly instead of dying mid-write.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quillorn {

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    // onSignal runs on the thread of the event loop, once per signal received. Only one instance
    // may exist at a time.
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void Drain();

    std::function<void()> onSignal_;
    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;  // owned as a child
};

}  // namespace quillorn
