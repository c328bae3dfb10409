// What the window tests share: a watcher that records and closes every modal box (so no box can
// hang a test), a notification area the test clicks (the recording desktop opener comes with it),
// and the real program started as a process of its own.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/NotificationArea.h"
#include "tests/support/RecordingOpener.h"
#include "tests/support/WindowProgramEnvironment.h"

namespace quillorn::test {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

class ModalBoxWatcher final : public QObject {
public:
    ModalBoxWatcher();
    // Called with each box before it is closed, e.g. to act while a run waits on it.
    std::function<void(const SeenBox&)> onBox;
    QList<SeenBox> seen;

private:
    void Poll();
    QTimer timer_;
};

class FakeNotificationArea final : public NotificationArea {
public:
    bool available = true;
    QString tooltip;
    bool iconSet = false;
    int added = 0;
    struct Message {
        QString title;
        QString text;
    };
    QList<Message> messages;

    bool Available() const override { return available; }
    void AddIcon(const QIcon& icon, const QString& tip) override {
        iconSet = !icon.isNull();
        tooltip = tip;
        has_ = true;
        ++added;
    }
    void RemoveIcon() override { has_ = false; }
    bool HasIcon() const override { return has_; }
    void ShowMessage(const QString& title, const QString& text) override {
        messages.append({title, text});
    }
    void Press(NotificationArea::Click click) { emit Clicked(click); }
    void ChooseRestore() { emit RestoreChosen(); }
    void ChooseExit() { emit ExitChosen(); }
    void ChooseOpenFolder() { emit OpenFolderChosen(); }
    void ClickMessage() { emit MessageClicked(); }

private:
    bool has_ = false;
};

// Programs run each in a folder of its own under base: the real `quillorn` copied there, or a test
// program given the folder. A program is up once it has set up its termination handlers, which it
// does right after its window is made; SIGTERM then ends it as a session's end would. On Windows it
// is up once its window shows, and is ended by the session's end itself, and base lies beside the
// test program, since every start from under %TEMP% is refused (RealProgramSystem_win.cpp).
class RealProgramFixture : public ::testing::Test {
protected:
    struct Ending {
        int exitCode = -1;
        QString errors;
    };

    // The folder, made under base, with a copy of the real program in it, named kProgram.
    QString Install(const QString& folder);
    std::unique_ptr<QProcess> Start(const QString& program, const QStringList& args = {});
    std::unique_ptr<QProcess> StartInstalled(const QString& dir) {
        return Start(QDir(dir).filePath(kProgram));
    }
    static bool IsUp(const QProcess& process);
    static bool WaitUntilUp(const QProcess& process);
    static Ending WaitForEnd(QProcess& process);
    static Ending Terminate(QProcess& process);
    Ending RunAndTerminate(const QString& dir);
    static QStringList Files(const QString& dir);
    static QString BaseFolder();

    // The real program's file name: quillorn, or quillorn.exe.
    const QString kProgram = QFileInfo(QStringLiteral(QUILLORN_WINDOW_PROGRAM)).fileName();
    QTemporaryDir base{BaseFolder() + QStringLiteral("/quillorn-programs-XXXXXX")};
};

}  // namespace quillorn::test
