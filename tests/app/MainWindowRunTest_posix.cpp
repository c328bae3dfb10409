// The window's run ended by termination signals, raised in this process: POSIX only (the console's
// events take their place on Windows, where the window has no console).
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <csignal>

#include "frontend/TerminationSignals.h"
#include "tests/app/MainWindowRunFixture.h"

namespace quillorn::test {
namespace {

// Signals during a run whose card list cannot be saved: the failure is logged, not boxed, the run
// stops and tidies up, and the window closes once, with exit code 1, whatever else arrives.
TEST_F(MainWindowRunTest, TerminationSignalsDuringARunStopItAndCloseOnceWithoutABox) {
    QDir(tmp.path()).mkdir(QStringLiteral("urls.txt"));
    QSignalSpy closed(form.get(), &MainWindow::Closed);
    const TerminationSignals terminations([this] { form->CloseForTermination(); });
    DuringThePauseBeforeTheSecondCard([&] {
        ::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->StopRequested().AbortRequested(); }));
        EXPECT_EQ(closed.count(), 0);  // the run tidies up first
        ::raise(SIGTERM);
    });
    Button("StartButton")->click();
    QApplication::processEvents();

    EXPECT_TRUE(boxes.seen.isEmpty());
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed[0][0].toInt(), 1);
    EXPECT_EQ(DataRows().size(), 3);
    EXPECT_TRUE(Exists(QStringLiteral("IdsDB.dat")));
    EXPECT_TRUE(Exists(QStringLiteral("settings.ini")));
    EXPECT_EQ(Messages().filter(QStringLiteral(": Cannot create file \"")).size(), 1);
}

}  // namespace
}  // namespace quillorn::test
