#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

#include "app/ErrorReport.h"
#include "app/RepeatTimer.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "tests/app/MainWindowFixture.h"

namespace quillorn::test {
namespace {

struct Placement {
    const char* name;
    QRect geometry;
};

TEST_F(MainWindowTest, ControlsHaveTheirCaptionsDefaultsAndPlaces) {
    MainWindow& window = MakeForm();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillorn"));
    EXPECT_EQ(window.size(), QSize(937, 534));

    const Placement placements[] = {
        {"InnsMemo", {8, 27, 217, 434}},
        {"LogsMemo", {231, 27, 698, 434}},
        {"StartButton", {8, 477, 125, 37}},
        {"StopButton", {150, 486, 75, 25}},
        {"CheckBox1", {231, 470, 206, 17}},
        {"RepeatCheckBox", {231, 494, 150, 17}},
        {"RepeatIntervalSpinEdit", {387, 493, 54, 21}},
        {"DontWriteWhenNoReviewsCheckBox", {448, 494, 260, 17}},
        {"IntervalSpinEdit", {887, 492, 43, 21}},
        {"ProgressBar", {0, 517, 937, 17}},
    };
    for (const Placement& placement : placements)
        EXPECT_EQ(Control<QWidget>(placement.name)->geometry(), placement.geometry)
            << placement.name;
    EXPECT_EQ(Control<QLabel>("Label1")->pos(), QPoint(8, 8));
    EXPECT_EQ(Control<QLabel>("Label3")->pos(), QPoint(231, 8));
    EXPECT_EQ(Control<QLabel>("Label4")->pos(), QPoint(719, 496));

    EXPECT_EQ(Control<QLabel>("Label1")->text(), QStringLiteral("Ссылки на карточки организаций"));
    EXPECT_EQ(Control<QLabel>("Label3")->text(), QStringLiteral("Логи"));
    EXPECT_EQ(Control<QLabel>("Label4")->text(), QStringLiteral("Интервал между карточками, с:"));
    EXPECT_EQ(Button("StartButton")->text(), QStringLiteral("СТАРТ"));
    EXPECT_EQ(Button("StartButton")->font().pixelSize(), 19);
    EXPECT_EQ(Button("StopButton")->text(), QStringLiteral("стоп"));
    EXPECT_EQ(window.font().pointSize(), 8);
    EXPECT_TRUE(window.font().families().contains(QStringLiteral("Tahoma")));

    EXPECT_EQ(Check("CheckBox1")->text(), QStringLiteral("Каждый отзыв на отдельной строке"));
    EXPECT_TRUE(Check("CheckBox1")->isChecked());
    EXPECT_EQ(Check("RepeatCheckBox")->text(), QStringLiteral("Повторить через, минут:"));
    EXPECT_FALSE(Check("RepeatCheckBox")->isChecked());
    EXPECT_EQ(Check("DontWriteWhenNoReviewsCheckBox")->text(),
              QStringLiteral("Ничего не выгружать, если нет новых отзывов"));
    EXPECT_TRUE(Check("DontWriteWhenNoReviewsCheckBox")->isChecked());

    QSpinBox* repeat = Spin("RepeatIntervalSpinEdit");
    EXPECT_EQ(repeat->value(), 300);
    EXPECT_EQ(repeat->singleStep(), 10);
    EXPECT_EQ(repeat->minimum(), 0);
    EXPECT_TRUE(repeat->isGroupSeparatorShown());
    repeat->setValue(-4);
    EXPECT_EQ(repeat->value(), 0);
    QSpinBox* interval = Spin("IntervalSpinEdit");
    EXPECT_EQ(interval->value(), 1);
    EXPECT_EQ(interval->singleStep(), 1);
    EXPECT_EQ(interval->minimum(), 0);

    EXPECT_EQ(Control<QProgressBar>("ProgressBar")->value(), 0);
    EXPECT_TRUE(Memo("LogsMemo")->toPlainText().isEmpty());
    EXPECT_EQ(Memo("LogsMemo")->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(Memo("InnsMemo")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    ASSERT_EQ(window.CardLineCount(), 2);
    EXPECT_TRUE(window.CardLine(0).endsWith(QStringLiteral("/rostov/firm/3378228001635525/")));
    EXPECT_TRUE(
        window.CardLine(1).endsWith(QStringLiteral("/rostov-on-don/firm/70000001047382728")));
    EXPECT_FALSE(window.Timer().Enabled());
}

TEST_F(MainWindowTest, TabOrderRunsFromTheStartButtonToTheIntervalSpinEdit) {
    MakeForm();
    const QStringList expected = {"StartButton",
                                  "LogsMemo",
                                  "InnsMemo",
                                  "StopButton",
                                  "CheckBox1",
                                  "RepeatCheckBox",
                                  "RepeatIntervalSpinEdit",
                                  "DontWriteWhenNoReviewsCheckBox",
                                  "IntervalSpinEdit"};
    QStringList order;
    QWidget* widget = Button("StartButton");
    do {
        const QString name = widget->objectName();
        if ((widget->focusPolicy() & Qt::TabFocus) && expected.contains(name) &&
            !order.contains(name))
            order << name;
        widget = widget->nextInFocusChain();
    } while (widget != Button("StartButton"));
    EXPECT_EQ(order, expected);
    for (const char* passive : {"Label1", "Label3", "Label4", "ProgressBar"})
        EXPECT_EQ(Control<QWidget>(passive)->focusPolicy(), Qt::NoFocus) << passive;
}

TEST_F(MainWindowTest, PanelsGrowAndBottomControlsKeepTheirDistanceFromTheBottomOnResize) {
    MainWindow& window = ShownForm();
    window.resize(1137, 634);
    EXPECT_EQ(Memo("InnsMemo")->geometry(), QRect(8, 27, 217, 534));
    EXPECT_EQ(Memo("LogsMemo")->geometry(), QRect(231, 27, 898, 534));
    EXPECT_EQ(Button("StartButton")->geometry(), QRect(8, 577, 125, 37));
    EXPECT_EQ(Spin("IntervalSpinEdit")->geometry(), QRect(887, 592, 43, 21));
    EXPECT_EQ(Control<QLabel>("Label4")->pos(), QPoint(719, 596));
    EXPECT_EQ(Control<QProgressBar>("ProgressBar")->geometry(), QRect(0, 617, 1137, 17));
}

TEST_F(MainWindowTest, FirstShowTakesTheCardListAndSettingsFilesAndGreets) {
    Write(QStringLiteral("urls.txt"),
          "\xEF\xBB\xBFhttps://a.example/firm/1\nhttps://b.example/\xD0\xBA\r\rlast\r\n");
    Write(QStringLiteral("settings.ini"),
          "[Settings]\r\nVerticalMode=yes\r\nRepeatInterval=0x1E\r\nNoReviewsNoWrites=0\r\n");
    MainWindow& window = ShownForm();
    EXPECT_EQ(window.CardListText(),
              QStringLiteral("https://a.example/firm/1\r\nhttps://b.example/к\r\n\r\nlast"));
    EXPECT_TRUE(Check("CheckBox1")->isChecked());  // a word gives the default
    EXPECT_EQ(Spin("RepeatIntervalSpinEdit")->value(), 30);
    EXPECT_FALSE(Check("RepeatCheckBox")->isChecked());  // missing key
    EXPECT_FALSE(Check("DontWriteWhenNoReviewsCheckBox")->isChecked());
    EXPECT_FALSE(window.Timer().Enabled());
    EXPECT_EQ(Messages(),
              QStringList({QStringLiteral("Спасибо, что пользуетесь Quillorn!"), "", ""}));
    EXPECT_TRUE(boxes.seen.isEmpty());
    EXPECT_EQ(endedWith, -1);
}

TEST_F(MainWindowTest, RepeatSwitchedOnInTheSettingsArmsTheTimerAtFirstShow) {
    Write(QStringLiteral("settings.ini"), "[Settings]\r\nRepeatInterval=5\r\nDoRepeat=1\r\n");
    MainWindow& window = ShownForm();
    EXPECT_TRUE(Check("RepeatCheckBox")->isChecked());
    EXPECT_TRUE(window.Timer().Enabled());
    EXPECT_TRUE(window.Timer().Counting());
    EXPECT_EQ(window.Timer().Interval(), 5 * 60000);
}

TEST_F(MainWindowTest, CloseWritesTheSettingsThenTheCardListInTheEncodingItWasReadIn) {
    Write(QStringLiteral("urls.txt"), "\xEF\xBB\xBFone\ntwo");
    Write(QStringLiteral("settings.ini"),
          "; kept\r\n[Settings]\r\nDoRepeat=1\r\n\r\n[Other]\r\nx=1\r\n");
    MainWindow& window = ShownForm();
    QSignalSpy closed(&window, &MainWindow::Closed);
    Check("CheckBox1")->setChecked(false);
    Spin("RepeatIntervalSpinEdit")->setValue(45);
    Memo("InnsMemo")->setPlainText(QStringLiteral("три\nfour"));

    EXPECT_TRUE(window.close());
    EXPECT_TRUE(window.StopRequested().IsRequested());
    EXPECT_TRUE(window.StopRequested().AbortRequested());  // a request in progress is abandoned
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(Read(QStringLiteral("settings.ini")),
              "; kept\r\n[Settings]\r\nDoRepeat=1\r\nVerticalMode=0\r\nRepeatInterval=45\r\n"
              "NoReviewsNoWrites=1\r\n\r\n[Other]\r\nx=1\r\n");
    EXPECT_EQ(Read(QStringLiteral("urls.txt")), "\xEF\xBB\xBF\xD1\x82\xD1\x80\xD0\xB8\r\nfour\r\n");
}

// Windows ends a session by quitting the application from under the window and ends the process
// soon after: no close and no signal come. The typed card list and options are saved at once, and
// the window ends as on a termination signal, once.
TEST_F(MainWindowTest, TheApplicationsQuitAtTheSessionsEndSavesBothFilesAndEndsTheWindowOnce) {
    MainWindow& window = ShownForm();
    QSignalSpy closed(&window, &MainWindow::Closed);
    Check("CheckBox1")->setChecked(false);
    Memo("InnsMemo")->setPlainText(QStringLiteral("Кафе"));

    EndSession();
    EndSession();

    EXPECT_TRUE(window.StopRequested().AbortRequested());
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(closed[0][0].toInt(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(boxes.seen.isEmpty());
    EXPECT_EQ(Read(QStringLiteral("settings.ini")),
              "[Settings]\r\nVerticalMode=0\r\nRepeatInterval=300\r\nDoRepeat=0\r\n"
              "NoReviewsNoWrites=1\r\n");
    EXPECT_EQ(Read(QStringLiteral("urls.txt")), "\xCA\xE0\xF4\xE5\r\n");
}

TEST_F(MainWindowTest, CloseWithoutFilesWritesTheFourKeysAndTheCardListInTheSystemCodePage) {
    MainWindow& window = ShownForm();
    Memo("InnsMemo")->setPlainText(QStringLiteral("Кафе"));
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Read(QStringLiteral("settings.ini")),
              "[Settings]\r\nVerticalMode=1\r\nRepeatInterval=300\r\nDoRepeat=0\r\n"
              "NoReviewsNoWrites=1\r\n");
    EXPECT_EQ(Read(QStringLiteral("urls.txt")), "\xCA\xE0\xF4\xE5\r\n");

    QFile::remove(Path(QStringLiteral("urls.txt")));
    MakeForm();
    locale->SetCodePage(TextEncoding::Utf8);
    ShownForm();
    Memo("InnsMemo")->setPlainText(QStringLiteral("Кафе"));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Read(QStringLiteral("urls.txt")), QStringLiteral("Кафе\r\n").toUtf8());
}

TEST_F(MainWindowTest, AnEmptyCardListIsWrittenAsAnEmptyFile) {
    Write(QStringLiteral("urls.txt"), QByteArray("\xFF\xFEx\0", 4));
    MainWindow& window = ShownForm();
    Memo("InnsMemo")->clear();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(Read(QStringLiteral("urls.txt")), "\xFF\xFE");
}

TEST_F(MainWindowTest, CloseThatCannotWriteTheSettingsReportsItAndKeepsTheWindowOpen) {
    QDir(tmp.path()).mkdir(QStringLiteral("settings.ini"));  // a directory cannot be replaced
    MainWindow& window = ShownForm();
    QSignalSpy closed(&window, &MainWindow::Closed);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.StopRequested().IsRequested());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_FALSE(Exists(QStringLiteral("urls.txt")));
    // The settings could not be read at the first show either, which was reported then.
    ASSERT_EQ(boxes.seen.size(), 2);
    EXPECT_TRUE(boxes.seen[0].text.startsWith(QStringLiteral("Cannot read file \"")));
    EXPECT_EQ(boxes.seen[1].title, QStringLiteral("Quillorn"));
    EXPECT_EQ(boxes.seen[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(boxes.seen[1].text.startsWith(
        QStringLiteral("Cannot create file \"%1\". ").arg(Path(QStringLiteral("settings.ini")))))
        << boxes.seen[1].text.toStdString();
    EXPECT_TRUE(boxes.seen[1].text.endsWith(u'.'));
}

// Start and close must give back exactly the file that was saved, blank lines after the last card
// included, in every encoding the list can be read in.
TEST_F(MainWindowTest, TheCardListRoundTripsByteForByteWithTrailingBlankLinesInEveryEncoding) {
    const struct {
        TextEncoding encoding;
        bool mark;
        TextEncoding codePage;
    } encodings[] = {{TextEncoding::Windows1251, false, TextEncoding::Windows1251},
                     {TextEncoding::Utf8, true, TextEncoding::Windows1251},
                     {TextEncoding::Utf16LE, true, TextEncoding::Windows1251},
                     {TextEncoding::Utf16BE, true, TextEncoding::Windows1251},
                     {TextEncoding::Utf8, false, TextEncoding::Utf8},
                     {TextEncoding::Windows1251, false, TextEncoding::Utf8}};
    const QString cards =
        QStringLiteral("https://2gis.ru/firm/1\r\n\r\nhttps://2gis.ru/москва/2\r\n");
    for (const auto& [encoding, mark, codePage] : encodings) {
        for (const QString& blanks :
             {QString(), QStringLiteral("\r\n"), QStringLiteral("\r\n\r\n")}) {
            const QByteArray saved = EncodeText(cards + blanks, encoding, mark);
            Write(QStringLiteral("urls.txt"), saved);
            MakeForm();
            locale->SetCodePage(codePage);
            ShownForm();
            ASSERT_TRUE(form->close());
            EXPECT_EQ(Read(QStringLiteral("urls.txt")), saved)
                << static_cast<int>(encoding) << " with " << blanks.size() / 2 << " blank lines";
        }
    }
}

// Laying out one very long line must not keep the window from appearing (a test that hangs is
// the failure); the line comes back whole.
TEST_F(MainWindowTest, AVeryLongLineInTheCardListShowsAndRoundTripsUnchanged) {
    QByteArray saved = "https://2gis.ru/rostov/firm/";
    while (saved.size() < 2 * 1024 * 1024)
        saved += "0123456789abcdefghijklmnopqrstuvwxyz";
    saved += "\r\nhttps://2gis.ru/firm/2\r\n";
    Write(QStringLiteral("urls.txt"), saved);
    MainWindow& window = ShownForm();
    QApplication::processEvents();
    EXPECT_EQ(window.CardLineCount(), 2);
    EXPECT_EQ(Memo("InnsMemo")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    ASSERT_TRUE(window.close());
    EXPECT_TRUE(Read(QStringLiteral("urls.txt")) == saved);  // no 2 MB dump on failure
}

TEST_F(MainWindowTest, TheLogPanelTakesNoTypingButSelectsCopiesAndStillReceivesLines) {
    ShownForm();
    QPlainTextEdit* log = Memo("LogsMemo");
    const QString greeting = log->toPlainText();
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    log->setFocus();
    QTest::keyClicks(log, QStringLiteral("typed"));
    QTest::keyClick(log, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(log->toPlainText(), greeting);

    QTest::keyClick(log, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(log->textCursor().selectedText().size(), greeting.size());
    QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), greeting);

    Button("StopButton")->click();  // the program still writes to it
    EXPECT_EQ(Messages().last(), QStringLiteral(": Останавливаем работу"));
}

TEST_F(MainWindowTest, CtrlAWithAnyOtherModifiersSelectsTheWholeCardListButCtrlKeypadOneDoesNot) {
    ShownForm();
    QPlainTextEdit* memo = Memo("InnsMemo");
    const QString text = memo->toPlainText();
    const auto selectionAfter = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(3);
        memo->setTextCursor(cursor);
        QTest::keyClick(memo, key, modifiers);
        return memo->textCursor().selectedText();
    };
    EXPECT_EQ(selectionAfter(Qt::Key_A, Qt::ControlModifier),
              text.split(u'\n').join(QChar(0x2029)));
    EXPECT_FALSE(selectionAfter(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier).isEmpty());
    EXPECT_EQ(selectionAfter(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier).size(), text.size());
    EXPECT_TRUE(selectionAfter(Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier).isEmpty());
    // A plain A is typed as usual.
    const qsizetype before = memo->toPlainText().size();
    EXPECT_TRUE(selectionAfter(Qt::Key_A, Qt::NoModifier).isEmpty());
    EXPECT_EQ(memo->toPlainText().size(), before + 1);
}

TEST_F(MainWindowTest, MinimisingHidesTheWindowIntoTheNotificationAreaUntilALeftClick) {
    MainWindow& window = ShownForm();
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    EXPECT_TRUE(tray->HasIcon());
    EXPECT_EQ(tray->tooltip, QStringLiteral("Vantrel"));
    EXPECT_TRUE(tray->iconSet);  // the application icon

    tray->Press(NotificationArea::Click::Other);  // right button: nothing
    QApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(tray->HasIcon());

    tray->Press(NotificationArea::Click::LeftRelease);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(tray->HasIcon());

    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    tray->Press(NotificationArea::Click::LeftDoubleClick);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(tray->HasIcon());
    EXPECT_EQ(tray->added, 2);
}

// Desktops that open the icon's menu on every click never report the click: the menu alone must
// bring the window back and end the program.
TEST_F(MainWindowTest, TheIconsMenuRestoresTheWindowAndItsExitClosesAsTheCloseButtonDoes) {
    MainWindow& window = ShownForm();
    QSignalSpy closed(&window, &MainWindow::Closed);
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    tray->ChooseRestore();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(tray->HasIcon());
    tray->ChooseRestore();  // nothing to restore: no second show, no icon
    EXPECT_FALSE(tray->HasIcon());

    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    tray->ChooseExit();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(tray->HasIcon());
    EXPECT_TRUE(Exists(QStringLiteral("settings.ini")));
    EXPECT_TRUE(Exists(QStringLiteral("urls.txt")));
    tray->ChooseRestore();  // a closed window stays closed
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, TheLogPanelsMenuAndTheIconsMenuOpenTheResultsFolder) {
    MainWindow& window = ShownForm();
    auto* action = window.findChild<QAction*>(QStringLiteral("OpenResultsFolderAction"));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QStringLiteral("Открыть папку с результатами"));
    action->trigger();
    tray->ChooseOpenFolder();
    ASSERT_EQ(opener->opened.size(), 2);
    for (const QString& opened : opener->opened)
        EXPECT_EQ(QDir::cleanPath(opened), QDir::cleanPath(tmp.path()));
    EXPECT_EQ(Memo("LogsMemo")->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(MainWindowTest, ClosingWhileHiddenInTheNotificationAreaSavesAndRemovesTheIcon) {
    MainWindow& window = ShownForm();
    QSignalSpy closed(&window, &MainWindow::Closed);
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    window.close();  // as a session's end would
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(tray->HasIcon());
    EXPECT_TRUE(Exists(QStringLiteral("settings.ini")));
    EXPECT_TRUE(Exists(QStringLiteral("urls.txt")));
}

TEST_F(MainWindowTest, AHandOverBringsTheWindowBackFromTheNotificationAreaOrAMinimise) {
    MainWindow& window = ShownForm();
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
    window.BringForward();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(tray->HasIcon());

    tray->available = false;
    window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    window.BringForward();
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);

    window.close();
    window.BringForward();  // a closed window stays closed
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingIsAnOrdinaryMinimise) {
    MakeForm();
    tray->available = false;
    MainWindow& window = ShownForm();
    window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(tray->added, 0);
}

TEST_F(MainWindowTest, StopWithoutARunOnlyWritesTheStopLine) {
    MainWindow& window = ShownForm();
    QTest::mouseClick(Button("StopButton"), Qt::LeftButton);
    EXPECT_TRUE(window.StopRequested().IsRequested());
    EXPECT_FALSE(window.StopRequested().AbortRequested());  // the request in progress finishes
    const QStringList lines = Memo("LogsMemo")->toPlainText().split(u'\n');
    EXPECT_EQ(lines.last(), locale->TimeStamp() + QStringLiteral(": Останавливаем работу"));
    EXPECT_EQ(lines.size(), 4);  // the greeting's three lines before it
}

TEST_F(MainWindowTest, TickingTheRepeatBoxArmsTheTimerAndUntickingStopsIt) {
    MainWindow& window = ShownForm();
    Spin("RepeatIntervalSpinEdit")->setValue(2);
    EXPECT_FALSE(window.Timer().Enabled());  // the spin edit alone does not touch the timer
    QTest::mouseClick(Check("RepeatCheckBox"), Qt::LeftButton);
    EXPECT_TRUE(window.Timer().Counting());
    EXPECT_EQ(window.Timer().Interval(), 120000);
    QTest::mouseClick(Check("RepeatCheckBox"), Qt::LeftButton);
    EXPECT_FALSE(window.Timer().Enabled());
}

TEST(ErrorReportTest, AppendsAFullStopOnlyAfterACharacterAboveIt) {
    EXPECT_EQ(ErrorReportText(QStringLiteral("Disk full")), QStringLiteral("Disk full."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("code 7")), QStringLiteral("code 7."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("path /")), QStringLiteral("path /."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("Ошибка")), QStringLiteral("Ошибка."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(ErrorReportText(QStringLiteral("Failed!")), QStringLiteral("Failed!"));
    EXPECT_EQ(ErrorReportText(QStringLiteral("(see log)")), QStringLiteral("(see log)"));
    EXPECT_EQ(ErrorReportText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(ErrorReportText(QString()), QString());
}

TEST(ErrorReportTest, AnEscapedErrorIsShownInABoxAndTheProgramGoesOn) {
    ModalBoxWatcher boxes;
    bool after = false;
    EXPECT_FALSE(RunReportingErrors(nullptr, [] { throw Failure(QStringLiteral("No disk")); }));
    EXPECT_FALSE(RunReportingErrors(nullptr, [] { throw std::runtime_error("plain"); }));
    EXPECT_TRUE(RunReportingErrors(nullptr, [&] { after = true; }));
    EXPECT_TRUE(after);
    ASSERT_EQ(boxes.seen.size(), 2);
    EXPECT_EQ(boxes.seen[0].title, QStringLiteral("Quillorn"));
    EXPECT_EQ(boxes.seen[0].text, QStringLiteral("No disk."));
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.seen[1].text, QStringLiteral("plain."));
}

class TypedInputTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        saveQuiet = std::chrono::milliseconds(1);
    }
};

TEST_F(TypedInputTest, TheCardListAndTheOptionsAreSavedAQuietMomentAfterAChange) {
    Write(QStringLiteral("settings.ini"), "[Other]\r\nKeep=1\r\n");
    ShownForm();
    const auto saved = [this](const char* name, const QByteArray& part) {
        return QTest::qWaitFor([&] { return Read(QString::fromLatin1(name)).contains(part); });
    };
    Memo("InnsMemo")
        ->setPlainText(QStringLiteral("https://2gis.ru/a/firm/1\nhttps://2gis.ru/a/firm/2"));
    EXPECT_TRUE(saved("urls.txt", "https://2gis.ru/a/firm/1\r\nhttps://2gis.ru/a/firm/2"))
        << Read(QStringLiteral("urls.txt")).toStdString();
    Check("RepeatCheckBox")->setChecked(true);
    EXPECT_TRUE(saved("settings.ini", "DoRepeat=1"));
    EXPECT_TRUE(Read(QStringLiteral("settings.ini")).contains("[Other]\r\nKeep=1\r\n"));
    Spin("RepeatIntervalSpinEdit")->setValue(20);
    EXPECT_TRUE(saved("settings.ini", "RepeatInterval=20"))
        << Read(QStringLiteral("settings.ini")).toStdString();
    EXPECT_TRUE(boxes.seen.isEmpty());
}

// Before the first show the controls hold defaults, not the files; a refused start ends without
// writing; a closed window has saved already.
TEST_F(TypedInputTest, NothingIsSavedBeforeTheFilesAreReadAfterARefusalOrAfterTheClose) {
    MainWindow& window = MakeForm();
    window.SaveTypedInput();
    EXPECT_TRUE(Files().isEmpty());

    programDir = Path(QStringLiteral("Rar$DI1.2"));
    MainWindow& refused = MakeForm();
    refused.show();
    ASSERT_EQ(endedWith, 1);
    Memo("InnsMemo")->setPlainText(QStringLiteral("typed"));
    refused.SaveTypedInput();
    EXPECT_TRUE(Files().isEmpty());
    refused.close();

    programDir.clear();
    MainWindow& closed = MakeForm();
    closed.show();
    closed.close();
    ASSERT_TRUE(Exists(QStringLiteral("urls.txt")));
    QFile::remove(Path(QStringLiteral("urls.txt")));
    closed.SaveTypedInput();
    EXPECT_FALSE(Exists(QStringLiteral("urls.txt")));
}

// No box (nobody may be there, and it would come after every pause in typing): one report on the
// log panel until a save succeeds again, and the other file is saved regardless.
TEST_F(TypedInputTest, AFailedSaveIsReportedOnceOnTheLogPanelAndCostsNotTheOtherFile) {
    QDir(tmp.path()).mkdir(QStringLiteral("urls.txt"));
    MainWindow& window = ShownForm();
    const qsizetype boxesAtStart = boxes.seen.size();  // the list could not be read either
    Check("CheckBox1")->setChecked(false);
    window.SaveTypedInput();
    window.SaveTypedInput();
    EXPECT_TRUE(Read(QStringLiteral("settings.ini")).contains("VerticalMode=0"));
    const QString failure =
        QStringLiteral(": Cannot create file \"%1\". ").arg(Path(QStringLiteral("urls.txt")));
    EXPECT_EQ(Messages().filter(failure).size(), 1) << Messages().join(u'\n').toStdString();
    EXPECT_EQ(boxes.seen.size(), boxesAtStart);

    QDir(tmp.path()).rmdir(QStringLiteral("urls.txt"));
    window.SaveTypedInput();
    ASSERT_TRUE(Exists(QStringLiteral("urls.txt")));
    QDir(tmp.path()).remove(QStringLiteral("urls.txt"));
    QDir(tmp.path()).mkdir(QStringLiteral("urls.txt"));
    window.SaveTypedInput();  // failing again after a success: reported again
    EXPECT_EQ(Messages().filter(failure).size(), 2);
}

}  // namespace
}  // namespace quillorn::test
