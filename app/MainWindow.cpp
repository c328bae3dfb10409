#include "app/MainWindow.h"

#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTextCursor>
#include <QTimer>

#include "app/DesktopServicesOpener.h"
#include "app/ErrorReport.h"
#include "app/NotificationArea.h"
#include "app/PanelLogSink.h"
#include "app/RepeatTimer.h"
#include "frontend/StartupRefusals.h"
#include "harvest/HarvestRun.h"
#include "net/HttpClient.h"
#include "net/TlsContext.h"
#include "output/DesktopOpener.h"
#include "output/RunLog.h"
#include "output/SpreadsheetApp.h"
#include "output/WorkbookStep.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/Clock.h"
#include "platform/LocaleServices.h"

namespace quillorn {

namespace {

// Both examples are cards of the directory site, so a first start shows what a card URL looks like.
const QString kExampleCards = QStringLiteral(
    "https://2gis.ru/rostov/firm/3378228001635525/\n"
    "https://2gis.ru/rostov-on-don/firm/70000001047382728");

// Tahoma where it is installed; elsewhere a condensed sans-serif face, so that the captions fit the
// places the window gives them as they do in Tahoma.
QFont FormFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    if (QFontInfo(font).family() != QStringLiteral("Tahoma"))
        font.setStretch(QFont::Condensed);
    return font;
}

// A smooth bar, green fading to pale "money" green.
const QString kProgressStyle = QStringLiteral(
    "QProgressBar { border: 1px solid palette(mid); background: palette(base); }"
    "QProgressBar::chunk { background: qlineargradient(x1: 0, y1: 0, x2: 1, y2: 0,"
    " stop: 0 #008000, stop: 1 #C0DCC0); }");

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(
            QStringLiteral(":/quillorn/%1x%1/apps/io.github.quillorn.Quillorn.png").arg(size));
    return icon;
}

template <typename Widget>
Widget* Make(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, bool wordWrap) {
    auto* memo = Make<QPlainTextEdit>(parent, name);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    // Tab moves on to the next control, as in every other field of the window.
    memo->setTabChangesFocus(true);
    return memo;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, bool checked) {
    auto* box = Make<QCheckBox>(parent, name);
    box->setText(caption);
    box->setChecked(checked);
    return box;
}

QSpinBox* MakeSpinEdit(QWidget* parent, const char* name, int value, int step, int maximum) {
    auto* spin = Make<QSpinBox>(parent, name);
    spin->setRange(0, maximum);
    spin->setSingleStep(step);
    spin->setValue(value);
    return spin;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* label = Make<QLabel>(parent, name);
    label->setText(caption);
    return label;
}

}  // namespace

MainWindowSetup::MainWindowSetup()
    : programDir(AppDir::OfExecutable()),
      dir(programDir),
      clock(std::make_unique<SystemClock>()),
      locale(std::make_unique<SystemLocale>()),
      notificationArea(std::make_unique<SystemNotificationArea>()),
      spreadsheet(std::make_unique<XlsxSpreadsheetApp>(locale->DecimalSeparator())),
      opener(std::make_unique<DesktopServicesOpener>()),
      tlsAvailable(&TlsAvailable),
      endProcess([](int code) { ::_exit(code); }) {}
MainWindowSetup::~MainWindowSetup() = default;
MainWindowSetup::MainWindowSetup(MainWindowSetup&&) noexcept = default;
MainWindowSetup& MainWindowSetup::operator=(MainWindowSetup&&) noexcept = default;

MainWindow::MainWindow(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent),
      programDir_(std::move(setup.programDir)),
      dir_(std::move(setup.dir)),
      endpoints_(std::move(setup.endpoints)),
      clock_(std::move(setup.clock)),
      locale_(std::move(setup.locale)),
      spreadsheet_(std::move(setup.spreadsheet)),
      opener_(std::move(setup.opener)),
      tlsAvailable_(std::move(setup.tlsAvailable)),
      endProcess_(std::move(setup.endProcess)),
      notificationArea_(setup.notificationArea.release()),
      repeatTimer_(new RepeatTimer(this)),
      saveTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(ApplicationIcon());
    notificationArea_->setParent(this);
    CreateControls();
    ApplyFonts();
    SetTabOrder();
    resize(kClientWidth, kClientHeight);
    ApplyAnchors();

    logSink_ = std::make_unique<PanelLogSink>(*logsMemo_);
    runLog_ = std::make_unique<RunLog>(*logSink_, *locale_, *clock_, dir_);
    http_ = std::make_unique<HttpClient>([this] { PumpEvents(); });
    workbook_ = std::make_unique<WorkbookStep>(*runLog_, *spreadsheet_, *opener_);
    run_ = std::make_unique<HarvestRun>(*this, *http_, *clock_, *runLog_, *locale_, dir_,
                                        endpoints_, stop_, *workbook_);

    connect(startButton_, &QPushButton::clicked, this, &MainWindow::OnStartClicked);
    connect(stopButton_, &QPushButton::clicked, this, &MainWindow::OnStopClicked);
    connect(repeatCheckBox_, &QCheckBox::toggled, this, &MainWindow::OnRepeatCheckClicked);
    connect(repeatTimer_, &RepeatTimer::Tick, this, &MainWindow::OnRepeatTimer);
    connect(notificationArea_, &NotificationArea::Clicked, this, &MainWindow::OnTrayClick);
    connect(notificationArea_, &NotificationArea::RestoreChosen, this,
            &MainWindow::RestoreFromTray);
    // Closes as the close button would: a run in progress is stopped and the window goes once
    // it has tidied up.
    connect(notificationArea_, &NotificationArea::ExitChosen, this, &MainWindow::close);
    connect(notificationArea_, &NotificationArea::MessageClicked, this,
            &MainWindow::OnTrayMessageClicked);
    SetUpResultsFolderAction();
    cardListEdit_->installEventFilter(this);
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(setup.saveQuiet);
    connect(saveTimer_, &QTimer::timeout, this, &MainWindow::SaveTypedInput);
    // A session that ends with the window in the notification area closes no window.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &MainWindow::SaveTypedInput);
    connect(qGuiApp, &QGuiApplication::saveStateRequest, this, &MainWindow::SaveTypedInput);
    // Windows ends a session by quitting the application from under the window (and the process
    // soon after), with no close and no signal: that is a termination. After the window's own
    // close, which is how the program ends otherwise, it changes nothing.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::CloseForTermination);
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateControls() {
    cardListLabel_ = MakeLabel(this, "Label1", QStringLiteral("Ссылки на карточки организаций"));
    cardListEdit_ = MakeMemo(this, "InnsMemo", true);
    cardListEdit_->setPlainText(kExampleCards);
    // Breaking at word boundaries costs time quadratic in the length of a line that has none (one
    // very long URL would keep the window from appearing); a list of URLs has hardly any words,
    // so lines simply break at the edge.
    cardListEdit_->setWordWrapMode(QTextOption::WrapAnywhere);
    logLabel_ = MakeLabel(this, "Label3", QStringLiteral("Логи"));
    logsMemo_ = MakeMemo(this, "LogsMemo", false);
    // The log is the run's: the user selects and copies, and nothing typed can reach the log file.
    logsMemo_->setReadOnly(true);
    logsMemo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    startButton_ = Make<QPushButton>(this, "StartButton");
    startButton_->setText(QStringLiteral("СТАРТ"));
    stopButton_ = Make<QPushButton>(this, "StopButton");
    stopButton_->setText(QStringLiteral("стоп"));

    perReviewRowsCheck_ =
        MakeCheckBox(this, "CheckBox1", QStringLiteral("Каждый отзыв на отдельной строке"), true);
    repeatCheckBox_ =
        MakeCheckBox(this, "RepeatCheckBox", QStringLiteral("Повторить через, минут:"), false);
    repeatIntervalSpinEdit_ =
        MakeSpinEdit(this, "RepeatIntervalSpinEdit", 300, 10, kMaxRepeatMinutes);
    repeatIntervalSpinEdit_->setGroupSeparatorShown(true);
    dontWriteWhenNoReviewsCheckBox_ =
        MakeCheckBox(this, "DontWriteWhenNoReviewsCheckBox",
                     QStringLiteral("Ничего не выгружать, если нет новых отзывов"), true);
    intervalLabel_ = MakeLabel(this, "Label4", QStringLiteral("Интервал между карточками, с:"));
    intervalSpinEdit_ = MakeSpinEdit(this, "IntervalSpinEdit", 1, 1, kMaxIntervalSeconds);

    progressBar_ = Make<QProgressBar>(this, "ProgressBar");
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setStyleSheet(kProgressStyle);

    for (QWidget* passive :
         {static_cast<QWidget*>(cardListLabel_), static_cast<QWidget*>(logLabel_),
          static_cast<QWidget*>(intervalLabel_), static_cast<QWidget*>(progressBar_)})
        passive->setFocusPolicy(Qt::NoFocus);
}

void MainWindow::ApplyFonts() {
    setFont(FormFont());
    QFont large = FormFont();
    large.setPixelSize(19);
    startButton_->setFont(large);
    for (QLabel* label : {cardListLabel_, logLabel_, intervalLabel_})
        label->adjustSize();
}

void MainWindow::SetTabOrder() {
    const QList<QWidget*> order = {startButton_,
                                   logsMemo_,
                                   cardListEdit_,
                                   stopButton_,
                                   perReviewRowsCheck_,
                                   repeatCheckBox_,
                                   repeatIntervalSpinEdit_,
                                   dontWriteWhenNoReviewsCheckBox_,
                                   intervalSpinEdit_};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// Positions at 96 dpi for the designed client area; what lies below the panels keeps its distance
// from the bottom edge, the card list grows in height and the log panel in both directions.
void MainWindow::ApplyAnchors() {
    const int below = height() - kClientHeight;  // how much taller than designed
    const int wider = width() - kClientWidth;
    cardListLabel_->move(8, 8);
    logLabel_->move(231, 8);
    cardListEdit_->setGeometry(8, 27, 217, 434 + below);
    logsMemo_->setGeometry(231, 27, 698 + wider, 434 + below);
    startButton_->setGeometry(8, 477 + below, 125, 37);
    stopButton_->setGeometry(150, 486 + below, 75, 25);
    perReviewRowsCheck_->setGeometry(231, 470 + below, 206, 17);
    repeatCheckBox_->setGeometry(231, 494 + below, 150, 17);
    repeatIntervalSpinEdit_->setGeometry(387, 493 + below, 54, 21);
    dontWriteWhenNoReviewsCheckBox_->setGeometry(448, 494 + below, 260, 17);
    intervalLabel_->move(719, 496 + below);
    intervalSpinEdit_->setGeometry(887, 492 + below, 43, 21);
    progressBar_->setGeometry(0, height() - 17, width(), 17);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyAnchors();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cardListEdit_ && event->type() == QEvent::KeyPress)
        return InnsMemoKeyDown(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

// Ctrl+A selects the whole card list whatever other modifiers are held; keypad keys are keys of
// their own (Ctrl with the keypad's 1 is not Ctrl+A).
bool MainWindow::InnsMemoKeyDown(QKeyEvent* event) {
    if (event->key() != Qt::Key_A || !(event->modifiers() & Qt::ControlModifier))
        return false;
    cardListEdit_->selectAll();
    event->accept();
    return true;
}

}  // namespace quillorn
