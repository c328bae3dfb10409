// MainWindow, Quillorn's only window: the card list, the log panel, the options and buttons of a
// run, the progress bar; the settings and card-list files it reads when first shown and writes when
// closed, a quiet moment after they change and when the session ends; the start-up refusals;
// minimising into the notification area; the stop button and the repeat timer. It is the RunHost of
// every run, and the start button's click is the run itself, which keeps the window serviced by
// processing its events from inside the handler.
#pragma once

#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

#include "app/NotificationArea.h"
#include "frontend/IniFile.h"
#include "harvest/Endpoints.h"
#include "harvest/RunHost.h"
#include "harvest/StopFlag.h"
#include "platform/AppDir.h"
#include "platform/TextEncoding.h"

class QAction;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QKeyEvent;
class QTimer;

namespace quillorn {

class Clock;
class DesktopOpener;
class HarvestRun;
class HttpClient;
class LocaleServices;
class PanelLogSink;
class RepeatTimer;
class RunLog;
class SpreadsheetApp;
class WorkbookStep;

// What the window is built with. Every member has the production default; tests and the demo
// replace the ones they need (a temporary directory, the stand-in directory's addresses, a test
// clock, a notification area they can click).
struct MainWindowSetup {
    MainWindowSetup();
    ~MainWindowSetup();
    MainWindowSetup(MainWindowSetup&&) noexcept;
    MainWindowSetup& operator=(MainWindowSetup&&) noexcept;

    // The executable's folder, which the start-up refusals judge.
    AppDir programDir;
    // The folder every file is read from and written to (see frontend/FilesFolder.h).
    AppDir dir;
    Endpoints endpoints;
    std::unique_ptr<Clock> clock;
    std::unique_ptr<LocaleServices> locale;
    std::unique_ptr<NotificationArea> notificationArea;
    std::unique_ptr<SpreadsheetApp> spreadsheet;
    std::unique_ptr<DesktopOpener> opener;
    // Whether the TLS library can be used (the third start-up check).
    std::function<bool()> tlsAvailable;
    // Ends the process at once after a start-up refusal, writing nothing.
    std::function<void(int exitCode)> endProcess;
    // How long the card list and the options stay unchanged before they are saved.
    std::chrono::milliseconds saveQuiet{1500};
};

class MainWindow final : public QWidget, public RunHost {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 937;
    static constexpr int kClientHeight = 534;
    // 35791 minutes is the most whose milliseconds fit a timer's signed 32-bit interval.
    static constexpr int kMaxRepeatMinutes = 35791;
    static constexpr int kMaxIntervalSeconds = 2147483;

    explicit MainWindow(MainWindowSetup setup = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Handlers, named after their control and event.
    void OnStartClicked();
    void OnStopClicked();
    void OnRepeatCheckClicked();
    void OnRepeatTimer();
    bool InnsMemoKeyDown(QKeyEvent* event);

    // A close asked for by a termination signal (SIGTERM, SIGINT, SIGHUP), or by the application's
    // quit when Windows ends the session. Nobody may be there to answer a box: the request in
    // progress is abandoned, both files are saved, a failure goes to standard error and the log
    // panel, open boxes are dismissed, and the window closes once a run in progress has tidied up,
    // whatever the saves gave. Further signals change nothing.
    void CloseForTermination();

    // Another start in the same files folder handed over to this window: it comes back from the
    // notification area or a minimised state and is raised.
    void BringForward();

    // Saves the card list and the options now, without a box (the session is ending, or they have
    // changed and been quiet for a moment); a failure goes to standard error and the log panel,
    // once until the saves succeed again. Nothing is saved before the files were read at the
    // first show, after a start-up refusal or once the window has closed.
    void SaveTypedInput();

    // RunHost.
    bool VerticalLayout() const override;
    QString CardListText() const override;
    int CardLineCount() const override;
    QString CardLine(int i) const override;
    int IntervalSeconds() const override;
    void SetIntervalSeconds(int seconds) override;
    bool NoReviewsNoWrites() const override;
    bool RepeatChecked() const override;
    int RepeatMinutes() const override;
    void ArmRepeatTimer(int intervalMs) override;
    void DisableRunControls() override;
    void EnableRunControls() override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void PumpEvents() override;
    void ShowWarning(const QString& title, const QString& text) override;
    void RunEnded(const RunSummary& summary) override;

    bool RunInProgress() const { return running_; }
    const StopFlag& StopRequested() const { return stop_; }
    const RepeatTimer& Timer() const { return *repeatTimer_; }
    const AppDir& Dir() const { return dir_; }

signals:
    // The window has closed for good; the program ends here, with exitCode: 1 when a termination
    // signal closed it and its settings or card list could not be saved, else 0.
    void Closed(int exitCode);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ApplyFonts();
    void SetTabOrder();
    void ApplyAnchors();

    void OnFirstShow();
    bool FormClose();  // false when a file could not be written: the window stays
    void LoadCardList();
    void LoadSettings();
    bool RefuseStart();
    void SaveSettings() const;
    void SaveCardList() const;

    // Runs a handler's body; an error that escapes it goes to the standard error report, or to
    // standard error and the log panel once a termination signal has asked the program to end.
    bool ReportingErrors(const std::function<void()>& body);
    void ReportError(const QString& message);
    void PerformRun();
    void FinishPendingClose();
    void EndWindow();
    void MinimiseToTray();
    void OnTrayClick(NotificationArea::Click click);
    void RestoreFromTray();
    void SetUpResultsFolderAction();
    void OpenResultsFolder();
    void OnTrayMessageClicked();
    void WatchTypedInput();

    AppDir programDir_;
    AppDir dir_;
    Endpoints endpoints_;
    std::unique_ptr<Clock> clock_;
    std::unique_ptr<LocaleServices> locale_;
    std::unique_ptr<SpreadsheetApp> spreadsheet_;
    std::unique_ptr<DesktopOpener> opener_;
    std::function<bool()> tlsAvailable_;
    std::function<void(int)> endProcess_;
    NotificationArea* notificationArea_;  // owned as a child

    QLabel* cardListLabel_;
    QPlainTextEdit* cardListEdit_;
    QLabel* logLabel_;
    QPlainTextEdit* logsMemo_;
    QPushButton* startButton_;
    QPushButton* stopButton_;
    QCheckBox* perReviewRowsCheck_;
    QCheckBox* repeatCheckBox_;
    QSpinBox* repeatIntervalSpinEdit_;
    QCheckBox* dontWriteWhenNoReviewsCheckBox_;
    QLabel* intervalLabel_;
    QSpinBox* intervalSpinEdit_;
    QProgressBar* progressBar_;

    RepeatTimer* repeatTimer_;   // owned as a child
    QTimer* saveTimer_;          // owned as a child; single shot, restarted by every change
    QAction* openFolderAction_;  // owned as a child; in the log panel's menu
    std::unique_ptr<PanelLogSink> logSink_;
    std::unique_ptr<RunLog> runLog_;
    std::unique_ptr<HttpClient> http_;
    StopFlag stop_;
    std::unique_ptr<WorkbookStep> workbook_;
    std::unique_ptr<HarvestRun> run_;

    // settings.ini as read at the first show; its other lines are written back at close.
    IniFile settingsIni_;
    // The encoding urls.txt was read in, kept for writing it back; the system's code page when
    // there was none.
    TextEncoding cardListEncoding_ = TextEncoding::Windows1251;
    bool cardListMark_ = false;

    bool shown_ = false;
    bool refused_ = false;
    bool running_ = false;
    bool closePending_ = false;  // closed during a run: close when the run has finished
    bool closing_ = false;
    bool terminating_ = false;  // a termination signal asked the program to end
    int exitCode_ = 0;
    // What a click on the notification area's last message opens; empty when nothing.
    QString trayMessageFile_;
    // The last failure of SaveTypedInput, reported once; empty after a success.
    QString saveFailure_;
};

}  // namespace quillorn
