// Windows has no termination signals: the console calls a handler, on a thread of its own, for
// Ctrl+C, Ctrl+Break, the console window closing, the user logging off and the system shutting
// down. Each one is handed to the event loop's thread as a signal would be: a count of the events
// not yet handled and an event object that a QWinEventNotifier watches.
#include "frontend/TerminationSignals.h"

#include <windows.h>

#include <QWinEventNotifier>
#include <atomic>

#include "platform/Errors.h"

namespace quillorn {

namespace {

std::atomic<int> g_pending{0};
HANDLE g_wake = nullptr;  // auto-reset; set when g_pending has grown
bool g_caughtForProcess = false;
bool g_handlerSet = false;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            g_pending.fetch_add(1);
            ::SetEvent(g_wake);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            g_pending.fetch_add(1);
            ::SetEvent(g_wake);
            // Windows ends the process as soon as this returns. Held here, the event loop's
            // thread stops the run, saves the store and returns from main, whose exit ends this
            // thread too; the system's own time-out bounds the wait.
            ::Sleep(INFINITE);
            return TRUE;
        default:
            return FALSE;
    }
}

// False when the event object or the handler cannot be set up; the console's events keep their
// default action then (the process ends at once).
bool Catch() {
    if (g_handlerSet)
        return true;
    if (!g_wake)
        g_wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!g_wake)
        return false;
    // A process started in a new process group ignores Ctrl+C until it asks for it again, as a
    // blocked signal stays blocked across exec.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    if (!::SetConsoleCtrlHandler(OnConsoleEvent, TRUE))
        return false;
    g_handlerSet = true;
    return true;
}

void Release() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    g_handlerSet = false;
    g_pending.store(0);
    ::ResetEvent(g_wake);
}

}  // namespace

void SurviveFileSizeLimit() {
    // Windows has no limit on the size of the files a process writes (nothing like ulimit -f or
    // SIGXFSZ); a full disk is the only such failure and already takes the write-failure path.
}

void CatchTerminationSignals() {
    // Should it fail, the TerminationSignals object tries again and says so.
    g_caughtForProcess = Catch();
}

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)), caughtHere_(!g_handlerSet) {
    if (!Catch())
        throw Failure(QStringLiteral("Cannot watch for termination signals"));
    // An event that came before this moment has set the event object: it is handled on the
    // event loop's first turn.
    auto* notifier = new QWinEventNotifier(g_wake, this);
    connect(notifier, &QWinEventNotifier::activated, this, &TerminationSignals::Drain);
    watcher_ = notifier;
}

TerminationSignals::~TerminationSignals() {
    static_cast<QWinEventNotifier*>(watcher_)->setEnabled(false);
    if (caughtHere_ && !g_caughtForProcess)
        Release();
}

void TerminationSignals::Drain() {
    for (int count = g_pending.exchange(0); count > 0; --count) {
        if (onSignal_)
            onSignal_();
    }
}

}  // namespace quillorn
