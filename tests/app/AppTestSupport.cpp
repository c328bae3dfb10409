#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

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
    EXPECT_TRUE(QFile::copy(QStringLiteral(QUILLORN_WINDOW_PROGRAM), QDir(dir).filePath(kProgram)));
    return dir;
}

std::unique_ptr<QProcess> RealProgramFixture::Start(const QString& program,
                                                    const QStringList& args) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(WindowProgramEnvironment());
    process->start(program, args);
    EXPECT_TRUE(process->waitForStarted(10000));
    return process;
}

bool RealProgramFixture::WaitUntilUp(const QProcess& process) {
    for (int i = 0; i < 2000 && !IsUp(process); ++i)
        QThread::msleep(5);
    return IsUp(process);
}

RealProgramFixture::Ending RealProgramFixture::WaitForEnd(QProcess& process) {
    if (!process.waitForFinished(20000))
        process.kill();
    // In the system's code page, as Qt writes its messages: UTF-8 on Linux, the ANSI code page on
    // Windows.
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
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
