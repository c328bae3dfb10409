#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>

namespace quillorn::test {

ModalBoxWatcher::ModalBoxWatcher() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalBoxWatcher::Poll);
    timer_.start();
}

void ModalBoxWatcher::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    const SeenBox entry{box->windowTitle(), box->text(), box->icon()};
    seen << entry;
    if (onBox)
        onBox(entry);
    box->done(QMessageBox::Ok);
}

QString RealProgramFixture::Install(const QString& folder) {
    const QString dir = QDir(base.path()).filePath(folder);
    EXPECT_TRUE(QDir().mkpath(dir));
    const QString program = dir + QStringLiteral("/quillorn");
    EXPECT_TRUE(QFile::copy(QStringLiteral(QUILLORN_BINARY_DIR "/quillorn"), program));
    return dir;
}

std::unique_ptr<QProcess> RealProgramFixture::Start(const QString& program,
                                                    const QStringList& args) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(env);
    process->start(program, args);
    EXPECT_TRUE(process->waitForStarted(10000));
    return process;
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

bool RealProgramFixture::WaitUntilUp(const QProcess& process) {
    for (int i = 0; i < 2000 && !IsUp(process); ++i)
        QThread::msleep(5);
    return IsUp(process);
}

RealProgramFixture::Ending RealProgramFixture::WaitForEnd(QProcess& process) {
    if (!process.waitForFinished(20000))
        process.kill();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

RealProgramFixture::Ending RealProgramFixture::Terminate(QProcess& process) {
    // An ended program has no id, and kill(0) would reach this test and ctest too.
    if (const qint64 pid = process.processId(); pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
    return WaitForEnd(process);
}

RealProgramFixture::Ending RealProgramFixture::RunAndTerminate(const QString& dir) {
    const std::unique_ptr<QProcess> process = StartInstalled(dir);
    EXPECT_TRUE(WaitUntilUp(*process));
    return Terminate(*process);
}

QStringList RealProgramFixture::Files(const QString& dir) {
    return QDir(dir).entryList(QDir::Files);
}

}  // namespace quillorn::test
