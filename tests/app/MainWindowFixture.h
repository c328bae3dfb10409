// A window built in a temporary directory, with a pinned locale, virtual time for the run, a
// notification area the test clicks and a recording desktop opener; every modal box it shows is
// recorded and closed.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <chrono>
#include <memory>
#include <ostream>

#include "app/MainWindow.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/Clock.h"
#include "platform/LocaleServices.h"
#include "standin/PinnedLocale.h"
#include "standin/TestClock.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FolderFixture.h"

// Readable failures for the geometry checks.
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "QPoint(" << p.x() << ", " << p.y() << ")";
}

namespace quillorn::test {

class MainWindowFixture : public FolderFixture {
protected:
    // The window over dir (the temporary directory when empty), not shown yet.
    MainWindow& MakeForm(const QString& dir = {}, const Endpoints& endpoints = {},
                         bool tlsAvailable = true) {
        MainWindowSetup setup;
        setup.dir = AppDir(dir.isEmpty() ? tmp.path() : dir);
        setup.programDir = programDir.isEmpty() ? setup.dir : AppDir(programDir);
        setup.endpoints = endpoints;
        auto testClock = std::make_unique<standin::TestClock>();
        clock = testClock.get();
        setup.clock = std::move(testClock);
        auto pinned = std::make_unique<standin::PinnedLocale>();
        locale = pinned.get();
        setup.locale = std::move(pinned);
        auto area = std::make_unique<FakeNotificationArea>();
        tray = area.get();
        setup.notificationArea = std::move(area);
        setup.spreadsheet = std::make_unique<XlsxSpreadsheetApp>(QStringLiteral(","), tmp.path());
        auto recording = std::make_unique<RecordingOpener>();
        opener = recording.get();
        setup.opener = std::move(recording);
        setup.tlsAvailable = [tlsAvailable] { return tlsAvailable; };
        setup.endProcess = [this](int code) { endedWith = code; };
        setup.saveQuiet = saveQuiet;
        form = std::make_unique<MainWindow>(std::move(setup));
        return *form;
    }

    // What Windows does when the session ends: the application's aboutToQuit, from inside the
    // event processing, with no window closed and no signal.
    static void EndSession() {
        QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
    }

    MainWindow& ShownForm() {
        MainWindow& shown = form ? *form : MakeForm();
        shown.show();
        return shown;
    }

    template <typename Widget>
    Widget* Control(const char* name) const {
        auto* widget = form->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPlainTextEdit* Memo(const char* name) const { return Control<QPlainTextEdit>(name); }
    QCheckBox* Check(const char* name) const { return Control<QCheckBox>(name); }
    QSpinBox* Spin(const char* name) const { return Control<QSpinBox>(name); }
    QPushButton* Button(const char* name) const { return Control<QPushButton>(name); }

    // The log panel's lines with the (pinned) time stamp taken off.
    QStringList Messages() const {
        const QString stamp = locale->TimeStamp();
        QStringList messages;
        for (const QString& line : Memo("LogsMemo")->toPlainText().split(u'\n'))
            messages << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
        return messages;
    }

    ModalBoxWatcher boxes;
    standin::TestClock* clock = nullptr;
    standin::PinnedLocale* locale = nullptr;
    FakeNotificationArea* tray = nullptr;
    RecordingOpener* opener = nullptr;
    int endedWith = -1;
    // The executable's folder the refusals judge, when it is not the files' folder.
    QString programDir;
    // Long enough that no test sees a save after a quiet moment unless it asks for one.
    std::chrono::milliseconds saveQuiet = std::chrono::hours(1);
    std::unique_ptr<MainWindow> form;
};

// The window's own cases, in MainWindowTest.cpp and, for signals, MainWindowTest_posix.cpp.
class MainWindowTest : public MainWindowFixture {};

}  // namespace quillorn::test
