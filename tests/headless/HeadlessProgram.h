// How the tests start quillorn-harvest and ask it to stop on this system: signals on POSIX, the
// console's Ctrl+Break on Windows (HeadlessProgram_win.cpp).
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <optional>
#include <string>
#include <vector>

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
// is not sent anything. False when the stop could not be sent.
bool Interrupt(const QProcess& program);
bool Terminate(const QProcess& program);

// The locales a test can start the program in through LANG and LC_ALL: the users' and C on POSIX;
// on Windows only the user's regional settings count, and the suite runs as a Russian user.
std::vector<std::string> LocalesTheEnvironmentChooses();

// What the program wrote to its console (UTF-8), with its lines ended as on Linux: a Windows
// program ends them in CR LF.
QString ConsoleText(const QByteArray& written);

}  // namespace quillorn::test
