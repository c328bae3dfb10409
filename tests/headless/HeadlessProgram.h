// How the tests start quillorn-harvest and ask it to stop on this system: signals on POSIX, the
// console's Ctrl+Break on Windows (HeadlessProgram_win.cpp).
#pragma once

#include <QProcess>
#include <optional>

namespace quillorn::test {

struct ChildSetup {
    // The program's own limit on the size of the files it writes (ulimit -f); POSIX only.
    std::optional<long long> fileSizeLimit;
    // SIGTERM blocked in the program from its start until it unblocks it itself; POSIX only.
    bool holdTermination = false;
};

// Called before program.start(): what the child starts with, and, on Windows, a process group of
// its own on this test's console, so the console's events can be sent to it alone.
void PrepareChild(QProcess& program, const ChildSetup& setup);

// A stop from the keyboard (SIGINT; Ctrl+Break on Windows, whose Ctrl+C cannot be sent to one
// process group) and from the system (SIGTERM; Ctrl+Break again). An ended program has no id and
// is not sent anything.
void Interrupt(const QProcess& program);
void Terminate(const QProcess& program);

}  // namespace quillorn::test
