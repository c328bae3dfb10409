// The Windows twin of HeadlessProgram.cpp. The console's events reach every process attached to
// it, in the groups they are sent to: the program gets a group of its own on this test's console.
#include "tests/headless/HeadlessProgram.h"

#include <windows.h>

namespace quillorn::test {

namespace {

void BreakGroup(const QProcess& program) {
    // The group's id is its first process's id.
    const qint64 pid = program.processId();
    if (pid > 0)
        ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(pid));
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

void Interrupt(const QProcess& program) {
    BreakGroup(program);
}

void Terminate(const QProcess& program) {
    BreakGroup(program);
}

}  // namespace quillorn::test
