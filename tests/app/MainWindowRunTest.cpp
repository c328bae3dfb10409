// Whole runs started from the window against the stand-in directory: the start button's run, a
// stop and a close while it goes on (delivered through the window's own event processing while the
// client waits for a card page), and the repeat timer around runs.
#include <QApplication>
#include <QMetaObject>
#include <QSignalSpy>
#include <QTest>

#include "app/RepeatTimer.h"
#include "tests/app/MainWindowRunFixture.h"

namespace quillorn::test {
namespace {

const QString kRearmLine =
    QStringLiteral(": Ставим повторный запуск выгрузки на таймер через, минут: ");

TEST_F(MainWindowRunTest, StartButtonRunsEveryCardAndEndsWithLogFileAndWorkbook) {
    Spin("IntervalSpinEdit")->setValue(0);
    Button("StartButton")->click();

    EXPECT_EQ(DataRows().size(), 5);
    EXPECT_TRUE(Logged(QStringLiteral(": Загружаем страницу ") + first));
    EXPECT_TRUE(Logged(QStringLiteral(": Загружаем страницу ") + second));
    ASSERT_EQ(Files(QStringLiteral("log-*.txt")).size(), 1);
    const QStringList workbooks = Files(QStringLiteral("*.xlsx"));
    ASSERT_EQ(workbooks.size(), 1);
    EXPECT_EQ(opener->opened, QStringList({Path(workbooks.front())}));
    EXPECT_TRUE(Exists(QStringLiteral("IdsDB.dat")));
    EXPECT_FALSE(Messages().contains(QStringLiteral("Спасибо, что пользуетесь Quillorn!")));

    EXPECT_TRUE(Button("StartButton")->isEnabled());
    EXPECT_TRUE(Check("CheckBox1")->isEnabled());
    EXPECT_TRUE(Check("DontWriteWhenNoReviewsCheckBox")->isEnabled());
    EXPECT_EQ(Control<QProgressBar>("ProgressBar")->value(), 0);
    EXPECT_EQ(Control<QProgressBar>("ProgressBar")->maximum(), 3);
    EXPECT_FALSE(form->Timer().Enabled());
    EXPECT_TRUE(boxes.seen.isEmpty());
}

TEST_F(MainWindowRunTest, ARunEndedWhileHiddenTellsWhatItFoundAndTheMessageOpensTheWorkbook) {
    Spin("IntervalSpinEdit")->setValue(0);
    form->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    form->OnStartClicked();
    const QStringList results = Files(QStringLiteral("data*.tab"));
    const QStringList workbooks = Files(QStringLiteral("*.xlsx"));
    ASSERT_EQ(results.size(), 1);
    ASSERT_EQ(workbooks.size(), 1);
    ASSERT_EQ(tray->messages.size(), 1);
    EXPECT_EQ(tray->messages[0].title, QStringLiteral("Quillorn"));
    EXPECT_EQ(tray->messages[0].text, QStringLiteral("Новых отзывов: 5\n") + results.front());
    opener->opened.clear();
    tray->ClickMessage();
    EXPECT_EQ(opener->opened, QStringList({Path(workbooks.front())}));

    // Everything is taken already: the next run delivers nothing, and says so.
    form->OnStartClicked();
    ASSERT_EQ(tray->messages.size(), 2);
    EXPECT_EQ(tray->messages[1].text, QStringLiteral("Новых отзывов нет"));

    // A shown window has its log panel: no message.
    tray->ChooseRestore();
    form->OnStartClicked();
    EXPECT_EQ(tray->messages.size(), 2);
}

TEST_F(MainWindowRunTest, AStoppedHiddenRunCountsOnlyWhatItDeliveredAndOffersTheResultFile) {
    form->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    DuringThePauseBeforeTheSecondCard([this] { form->OnStopClicked(); });
    form->OnStartClicked();
    ASSERT_EQ(tray->messages.size(), 1);
    const QStringList results = Files(QStringLiteral("data*.tab"));
    ASSERT_EQ(results.size(), 1);
    EXPECT_EQ(tray->messages[0].text, QStringLiteral("Новых отзывов: 3\n") + results.front());
    tray->ClickMessage();  // no workbook after a stop: the result file
    EXPECT_EQ(opener->opened, QStringList({Path(results.front())}));
}

// A card whose page never gives what a run needs fails all its attempts (in virtual time).
TEST_F(MainWindowRunTest, AHiddenRunCountsTheCardsItCouldNotReadAndItsMessageOpensOnlyOnce) {
    StandInCard broken = Card(QStringLiteral("503"), 1);
    broken.branchId.clear();
    SetCards({first, directory.AddCard(broken)});
    Spin("IntervalSpinEdit")->setValue(0);
    form->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->isVisible(); }));
    form->OnStartClicked();
    const QStringList results = Files(QStringLiteral("data*.tab"));
    const QStringList workbooks = Files(QStringLiteral("*.xlsx"));
    ASSERT_EQ(results.size(), 1);
    ASSERT_EQ(workbooks.size(), 1);
    ASSERT_EQ(tray->messages.size(), 1);
    EXPECT_EQ(tray->messages[0].text,
              QStringLiteral("Новых отзывов: 3. Карточек с ошибками: 1\n") + results.front());
    opener->opened.clear();
    tray->ClickMessage();
    tray->ClickMessage();  // the same message clicked again, or its click reported twice
    EXPECT_EQ(opener->opened, QStringList({Path(workbooks.front())}));

    // Nothing new where the cards could be read: not the message of a run that found nothing.
    form->OnStartClicked();
    ASSERT_EQ(tray->messages.size(), 2);
    EXPECT_EQ(tray->messages[1].text, QStringLiteral("Новых отзывов: 0. Карточек с ошибками: 1"));
}

TEST_F(MainWindowRunTest, ExitFromTheIconsMenuDuringAHiddenRunStopsItThenCloses) {
    QSignalSpy closed(form.get(), &MainWindow::Closed);
    form->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    DuringThePauseBeforeTheSecondCard([this] { tray->ChooseExit(); });
    form->OnStartClicked();
    EXPECT_EQ(DataRows().size(), 3);  // the first card's rows only
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(tray->HasIcon());
    EXPECT_TRUE(tray->messages.isEmpty());  // the program is ending: nobody to tell
}

TEST_F(MainWindowRunTest, DuringARunOnlyTheStartButtonAndTwoCheckBoxesAreLocked) {
    QStringList disabled;
    bool timerCounting = true;
    DuringThePauseBeforeTheSecondCard([&] {
        for (QWidget* widget : form->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && !widget->isEnabled())
                disabled << widget->objectName();
        }
        timerCounting = form->Timer().Counting();
        // The pause between cards can be changed during a run.
        Spin("IntervalSpinEdit")->setValue(3);
    });
    QTest::mouseClick(Check("RepeatCheckBox"), Qt::LeftButton);  // armed before the run
    ASSERT_TRUE(form->Timer().Counting());
    Button("StartButton")->click();
    disabled.sort();
    EXPECT_EQ(disabled,
              QStringList({"CheckBox1", "DontWriteWhenNoReviewsCheckBox", "StartButton"}));
    EXPECT_FALSE(timerCounting);  // a run started by hand stops an armed timer
    EXPECT_EQ(Spin("IntervalSpinEdit")->value(), 3);
    EXPECT_TRUE(form->Timer().Counting());  // and its end arms it again
}

TEST_F(MainWindowRunTest, AnEmptyCardListShowsTheWarningAndTouchesNothing) {
    SetCards({QStringLiteral("  "), QString(), QStringLiteral("\t")});
    Button("StartButton")->click();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].title, QStringLiteral("Старт невозможен"));
    EXPECT_EQ(boxes.seen[0].text, QStringLiteral("Карточки не заданы"));
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(Button("StartButton")->isEnabled());
    EXPECT_TRUE(Memo("LogsMemo")->toPlainText().isEmpty());  // cleared all the same
}

TEST_F(MainWindowRunTest, StopDuringThePauseEndsTheRunOnceThatCardsPageHasArrived) {
    DuringThePauseBeforeTheSecondCard([this] { Button("StopButton")->click(); });
    QTest::mouseClick(Check("RepeatCheckBox"), Qt::LeftButton);
    Button("StartButton")->click();

    EXPECT_EQ(DataRows().size(), 3);  // the first card's rows only
    EXPECT_TRUE(Logged(QStringLiteral(": Останавливаем работу")));
    EXPECT_TRUE(Files(QStringLiteral("log-*.txt")).isEmpty());
    EXPECT_TRUE(Files(QStringLiteral("*.xlsx")).isEmpty());
    EXPECT_TRUE(Exists(QStringLiteral("IdsDB.dat")));
    EXPECT_TRUE(Button("StartButton")->isEnabled());
    EXPECT_EQ(Messages().last(), kRearmLine + QStringLiteral("300"));
    EXPECT_TRUE(form->Timer().Counting());
}

TEST_F(MainWindowRunTest, AStopPressedBeforeARunDoesNotStopTheNextOne) {
    Button("StopButton")->click();
    Button("StartButton")->click();
    EXPECT_EQ(DataRows().size(), 5);
    EXPECT_EQ(Files(QStringLiteral("log-*.txt")).size(), 1);
}

TEST_F(MainWindowRunTest, ClosingDuringARunSavesTheFilesWaitsForTheRunAndThenCloses) {
    QSignalSpy closed(form.get(), &MainWindow::Closed);
    bool visibleAfterClose = false;
    DuringThePauseBeforeTheSecondCard([&] {
        form->close();
        visibleAfterClose = form->isVisible();
        EXPECT_TRUE(Exists(QStringLiteral("settings.ini")));
        EXPECT_TRUE(Exists(QStringLiteral("urls.txt")));
        EXPECT_EQ(closed.count(), 0);
    });
    Button("StartButton")->click();

    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(DataRows().size(), 3);
    EXPECT_TRUE(Files(QStringLiteral("log-*.txt")).isEmpty());
    EXPECT_TRUE(Exists(QStringLiteral("IdsDB.dat")));  // the run's clean-up ran before the end
    EXPECT_EQ(QString::fromLatin1(Read(QStringLiteral("urls.txt"))),
              first + QStringLiteral("\r\n\r\n") + second + QStringLiteral("\r\n"));
}

// The session's end on Windows during a run: the run stops and tidies up (its rows and store
// kept), and only then the window ends.
TEST_F(MainWindowRunTest, TheSessionsEndDuringARunStopsItAndEndsTheWindowAfterItsCleanUp) {
    QSignalSpy closed(form.get(), &MainWindow::Closed);
    DuringThePauseBeforeTheSecondCard([&] {
        EndSession();
        EXPECT_TRUE(form->StopRequested().AbortRequested());
        EXPECT_EQ(closed.count(), 0);  // the run tidies up first
    });
    Button("StartButton")->click();
    QApplication::processEvents();

    EXPECT_TRUE(boxes.seen.isEmpty());
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed[0][0].toInt(), 0);
    EXPECT_EQ(DataRows().size(), 3);
    EXPECT_TRUE(Exists(QStringLiteral("IdsDB.dat")));
    EXPECT_TRUE(Exists(QStringLiteral("settings.ini")));
    EXPECT_TRUE(Exists(QStringLiteral("urls.txt")));
}

TEST_F(MainWindowRunTest, RepeatRearmsAfterARunWithItsLogLineAndATickStartsTheNextRun) {
    Spin("RepeatIntervalSpinEdit")->setValue(1);
    QTest::mouseClick(Check("RepeatCheckBox"), Qt::LeftButton);
    Button("StartButton")->click();
    EXPECT_EQ(Messages().last(), kRearmLine + QStringLiteral("1"));
    EXPECT_TRUE(form->Timer().Counting());
    EXPECT_EQ(form->Timer().Interval(), 60000);

    // The tick stops the timer, then performs a whole run: every review is taken already.
    bool countingDuringRun = true;
    DuringThePauseBeforeTheSecondCard([&] { countingDuringRun = form->Timer().Counting(); });
    form->OnRepeatTimer();
    EXPECT_FALSE(countingDuringRun);
    EXPECT_TRUE(Logged(QStringLiteral(": Загружаем страницу ") + second));
    EXPECT_EQ(Messages().last(), kRearmLine + QStringLiteral("1"));
    EXPECT_TRUE(form->Timer().Counting());
}

TEST_F(MainWindowRunTest, TickingTheRepeatBoxDuringARunArmsTheTimerOnlyAtTheRunsEnd) {
    bool countingAfterTick = true;
    DuringThePauseBeforeTheSecondCard([&] {
        Check("RepeatCheckBox")->click();
        countingAfterTick = form->Timer().Counting();
    });
    Button("StartButton")->click();
    EXPECT_FALSE(countingAfterTick);
    EXPECT_TRUE(form->Timer().Counting());
    EXPECT_EQ(form->Timer().Interval(), 300 * 60000);
}

TEST_F(MainWindowRunTest, ARepeatIntervalOfZeroIsLoggedButNeverTicks) {
    Spin("RepeatIntervalSpinEdit")->setValue(0);
    Check("RepeatCheckBox")->click();
    Button("StartButton")->click();
    EXPECT_EQ(Messages().last(), kRearmLine + QStringLiteral("0"));
    EXPECT_TRUE(form->Timer().Enabled());
    EXPECT_FALSE(form->Timer().Counting());
}

TEST_F(MainWindowRunTest, ATickOnAnEmptyListShowsTheWarningAndLeavesTheTimerStopped) {
    Check("RepeatCheckBox")->click();
    SetCards({});
    form->OnRepeatTimer();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].text, QStringLiteral("Карточки не заданы"));
    EXPECT_FALSE(form->Timer().Enabled());
}

TEST_F(MainWindowRunTest, AFailedStartIsReportedAndGivesTheControlsBack) {
    Write(QStringLiteral("proxy.txt"), "user:secret@127.0.0.1:port\r\n");
    Check("RepeatCheckBox")->click();
    form->OnRepeatTimer();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].title, QStringLiteral("Quillorn"));
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.seen[0].text, QStringLiteral("''port'' is not a valid integer value."));
    EXPECT_TRUE(Files(QStringLiteral("data*.tab")).isEmpty());
    EXPECT_TRUE(Button("StartButton")->isEnabled());
    EXPECT_TRUE(Check("CheckBox1")->isEnabled());
    EXPECT_FALSE(form->Timer().Enabled());  // a tick whose run failed to start leaves it stopped
}

TEST_F(MainWindowRunTest, AJournalThatCannotBeOpenedAfterTheControlsWereLockedUnlocksThemAgain) {
    QDir(tmp.path()).mkdir(QStringLiteral("IdDates.dat"));
    Button("StartButton")->click();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(Files(QStringLiteral("data*.tab")).isEmpty());
    EXPECT_TRUE(Button("StartButton")->isEnabled());
    EXPECT_TRUE(Check("CheckBox1")->isEnabled());
    EXPECT_TRUE(Check("DontWriteWhenNoReviewsCheckBox")->isEnabled());
    // The next start works once the cause is gone.
    QDir(tmp.path()).rmdir(QStringLiteral("IdDates.dat"));
    Button("StartButton")->click();
    EXPECT_EQ(DataRows().size(), 5);
}

}  // namespace
}  // namespace quillorn::test
