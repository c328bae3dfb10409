// The Windows twin of HeadlessProgram.cpp. The console's events reach every process attached to
// it, in the groups they are sent to: the program gets a group of its own on this test's console.
#include "tests/headless/HeadlessProgram.h"

#include <windows.h>

namespace quillorn::test {

namespace {

// Windows sends a group Ctrl+Break but never Ctrl+C alone; Wine sends Ctrl+C to a group but has
// no Ctrl+Break. Each reaches the same handler of the program.
bool BreakGroup(const QProcess& program) {
    // The group's id is its first process's id.
    const qint64 pid = program.processId();
    if (pid <= 0)
        return false;
    const auto group = static_cast<DWORD>(pid);
    return ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, group) ||
           ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, group);
}

}  // namespace

void PrepareChild(QProcess& program, const ChildSetup&) {
    // A test started without a console window gets a console of its own, which the program
    // shares: without a console in common no event can be sent to it. Under Wine a program started
    // without a terminal has a console already, one that passes no events on: it is let go first.
    // This process stays out of the program's group.
    if (!::GetConsoleWindow()) {
        ::FreeConsole();
        ::AllocConsole();
    }
    program.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
        arguments->flags &= ~static_cast<DWORD>(CREATE_NO_WINDOW);
        arguments->flags |= CREATE_NEW_PROCESS_GROUP;
    });
}

bool Interrupt(const QProcess& program) {
    return BreakGroup(program);
}

bool Terminate(const QProcess& program) {
    return BreakGroup(program);
}

QString ConsoleText(const QByteArray& written) {
    return QString::fromUtf8(written).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::vector<std::string> LocalesTheEnvironmentChooses() {
    return {"ru_RU.UTF-8"};
}

}  // namespace quillorn::test
