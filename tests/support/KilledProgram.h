// Ending a program outright, as a power cut, an out-of-memory kill or a logout would: SIGKILL, or
// TerminateProcess on Windows.
#pragma once

#include <QProcess>

namespace quillorn::test {

// Kills the program and returns once nothing of it runs any more, so that whatever starts next in
// its folder finds every write it made. False when it did not end.
bool KillOutright(QProcess& program);

}  // namespace quillorn::test
