// The window ended by termination signals raised in this process: POSIX only (the console's events
// take their place on Windows, where the window has no console).
#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <csignal>

#include "frontend/TerminationSignals.h"
#include "tests/app/MainWindowFixture.h"

namespace quillorn::test {
namespace {

// A termination signal comes when nobody may be there to answer a box: with settings.ini a
// folder, the failure goes to the log panel, the card list is saved all the same, and the window
// closes with exit code 1, once; a box already open and further signals cannot hold it.
TEST_F(MainWindowTest, ATerminationSignalEndsTheProgramWhenTheSettingsCannotBeSaved) {
    QDir(tmp.path()).mkdir(QStringLiteral("settings.ini"));
    MainWindow& window = ShownForm();
    QSignalSpy closed(&window, &MainWindow::Closed);
    const TerminationSignals terminations([&window] { window.CloseForTermination(); });

    // The user's close shows its report; a signal while that box waits dismisses it.
    bool boxLeftOpen = true;
    boxes.onBox = [&](const SeenBox&) {
        if (boxes.seen.size() < 2)
            return;
        ::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&] { return closed.count() > 0; }));
        boxLeftOpen = QApplication::activeModalWidget() != nullptr;
    };
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(boxLeftOpen);
    ::raise(SIGTERM);
    ::raise(SIGINT);
    QApplication::processEvents();

    ASSERT_EQ(boxes.seen.size(), 2);  // the unreadable settings at first show, the user's close
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed[0][0].toInt(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.StopRequested().AbortRequested());
    EXPECT_TRUE(Read(QStringLiteral("urls.txt")).startsWith("https://2gis.ru/rostov/firm/"));
    const QString failure =
        QStringLiteral(": Cannot create file \"%1\". ").arg(Path(QStringLiteral("settings.ini")));
    ASSERT_EQ(Messages().filter(failure).size(), 1);
    EXPECT_TRUE(Messages().last().startsWith(failure));
}

}  // namespace
}  // namespace quillorn::test
