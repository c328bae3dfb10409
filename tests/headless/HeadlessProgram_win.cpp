// The Windows twin of HeadlessProgram.cpp. The console's events reach every process attached to
// it, in the groups they are sent to: the program gets a group of its own on this test's console.
#include "tests/headless/HeadlessProgram.h"

#include <windows.h>

namespace quillorn::test {

namespace {

bool BreakGroup(const QProcess& program) {
    // The group's id is its first process's id.
    const qint64 pid = program.processId();
    return pid > 0 && ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(pid));
}

}  // namespace

void PrepareChild(QProcess& program, const ChildSetup&) {
    // A test started without a console gets one, which the program shares: without a console in
    // common no event can be sent to it. This process stays out of the program's group.
    if (!::GetConsoleWindow())
        ::AllocConsole();
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
