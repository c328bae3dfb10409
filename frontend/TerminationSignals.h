// Turns SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C in a terminal, a terminal closing, a
// service being stopped) into an ordinary call on the event loop's thread, so the window saves the
// user's settings and card list, and a run in progress stops cleanly instead of dying mid-write.
// On Windows the console's Ctrl+C, Ctrl+Break, close, logoff and shutdown take the signals' place.
// Also keeps a file-size limit (ulimit -f, LimitFSIZE=) from killing the program mid-row.
#pragma once

#include <QObject>
#include <functional>

namespace quillorn {

// A write past the process's file-size limit then fails (EFBIG) and takes the path of a full disk,
// instead of SIGXFSZ ending the program with a row cut in half and the store unsaved. Call first
// thing in main.
void SurviveFileSizeLimit();

// Catches the termination signals from this moment for the rest of the process, before any event
// loop exists: a signal that comes early waits for the TerminationSignals object that will handle
// it, instead of ending the program by the signal's default action. Call early in main; calling
// again does nothing.
void CatchTerminationSignals();

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    // onSignal runs on the thread of the event loop, once per signal received, also for those
    // caught before this object existed. Only one instance may exist at a time. Without an earlier
    // CatchTerminationSignals, the signals are caught for this object's lifetime only.
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    void Drain();

    std::function<void()> onSignal_;
    bool caughtHere_ = false;
    // Owned as a child: what wakes this thread when a signal has come (a socket notifier on the
    // self-pipe, a notifier on an event object on Windows).
    QObject* watcher_ = nullptr;
};

}  // namespace quillorn
