// How the window tests run the real program on POSIX: copied under the temporary folder; it is up
// once its termination handlers are in place, and SIGTERM ends it as a session's end would.
#include <QFile>
#include <csignal>

#include "tests/app/AppTestSupport.h"

namespace quillorn::test {

QString RealProgramFixture::BaseFolder() {
    return QDir::tempPath();
}

bool RealProgramFixture::IsUp(const QProcess& process) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    if (process.processId() <= 0 || !status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

RealProgramFixture::Ending RealProgramFixture::Terminate(QProcess& process) {
    // An ended program has no id, and kill(0) would reach this test and ctest too.
    if (const qint64 pid = process.processId(); pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    return WaitForEnd(process);
}

}  // namespace quillorn::test
