// The Windows twin of RealProgramSystem.cpp. The window program has no console and no signals: it
// is up once its window shows, and it is ended as Windows ends a session, by the two messages
// every top-level window of the process receives, WM_QUERYENDSESSION and then WM_ENDSESSION. Its
// copies lie beside the test program: every start from under %TEMP% is refused.
#include <windows.h>

#include <QCoreApplication>
#include <vector>

#include "tests/app/AppTestSupport.h"

namespace quillorn::test {

QString RealProgramFixture::BaseFolder() {
    return QCoreApplication::applicationDirPath();
}

namespace {

struct Search {
    DWORD pid = 0;
    bool visibleOnly = false;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid && (!search->visibleOnly || ::IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(const QProcess& process, bool visibleOnly) {
    Search search;
    search.pid = static_cast<DWORD>(process.processId());
    search.visibleOnly = visibleOnly;
    if (search.pid != 0)
        ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a hung window would make of the session's end is not under test: each message gets a few
// seconds at most.
LRESULT Send(HWND window, UINT message, WPARAM wParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, wParam, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

bool RealProgramFixture::IsUp(const QProcess& process) {
    return process.processId() > 0 && !TopLevelWindows(process, true).empty();
}

RealProgramFixture::Ending RealProgramFixture::Terminate(QProcess& process) {
    const std::vector<HWND> windows = TopLevelWindows(process, false);
    bool mayEnd = true;
    for (const HWND window : windows)
        mayEnd = Send(window, WM_QUERYENDSESSION, 0) != 0 && mayEnd;
    for (const HWND window : windows)
        Send(window, WM_ENDSESSION, mayEnd ? TRUE : FALSE);
    return WaitForEnd(process);
}

}  // namespace quillorn::test
