#include "headless/HeadlessHarvest.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "frontend/AppSettings.h"
#include "frontend/CardListFile.h"
#include "frontend/FilesFolder.h"
#include "frontend/IniFile.h"
#include "frontend/StartupRefusals.h"
#include "frontend/TerminationSignals.h"
#include "harvest/HarvestRun.h"
#include "harvest/StopFlag.h"
#include "headless/ConsoleLogSink.h"
#include "headless/ConsoleRunHost.h"
#include "headless/ProgressLine.h"
#include "headless/ScaledClock.h"
#include "net/HttpClient.h"
#include "net/TlsContext.h"
#include "output/DesktopOpener.h"
#include "output/RunLog.h"
#include "output/SpreadsheetApp.h"
#include "output/WorkbookStep.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/FolderRunLock.h"
#include "platform/IntegerParsers.h"
#include "platform/LocaleServices.h"
#include "platform/TrimControls.h"

namespace quillorn {

namespace {

// The window's spin edit for the pause between cards: 1 at start, never below 0.
constexpr int kDefaultIntervalSeconds = 1;
constexpr int kMaxIntervalSeconds = 2147483;

void PrintError(const QString& text) {
    QString message = text;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fputs((QStringLiteral("quillorn-harvest: ") + message + u'\n').toUtf8().constData(),
               stderr);
    std::fflush(stderr);
}

// Nobody is at a desktop to look at the workbook; it stays beside the result file.
class NoOpener final : public DesktopOpener {
public:
    void Open(const QString&) override {}
};

// --no-workbook: a run that finds no spreadsheet writer skips the step without a log line.
class NoSpreadsheet final : public SpreadsheetApp {
public:
    bool Available() const override { return false; }
    std::unique_ptr<ImportedWorkbook> Import(const QString&) override {
        throw Failure(QStringLiteral("No workbook is made"));
    }
};

QStringList CardLines(const AppDir& dir, TextEncoding codePage) {
    const std::optional<CardListFile> file =
        CardListFile::Load(dir.FilePath(QString::fromLatin1(kCardListFileName)), codePage);
    if (!file || file->text.isEmpty())
        return {};
    return file->text.split(QStringLiteral("\r\n"));
}

// The files as the window would show them at start, then the command line on top.
ConsoleRunSettings ReadRunSettings(const AppDir& dir, const HarvestOptions& options,
                                   TextEncoding codePage) {
    const IniFile ini = IniFile::Load(dir.FilePath(QString::fromLatin1(kSettingsFileName)));
    const AppSettings saved = AppSettings::Read(ini);
    ConsoleRunSettings settings;
    settings.cardLines = CardLines(dir, codePage);
    settings.verticalLayout = saved.verticalMode;
    settings.noReviewsNoWrites = saved.noReviewsNoWrites;
    // The window keeps no pause between cards; a server's settings.ini may name one.
    const std::optional<QString> interval =
        ini.Value(QStringLiteral("Settings"), QStringLiteral("Interval"));
    settings.intervalSeconds =
        std::clamp(interval ? ParseIniInteger(*interval).value_or(kDefaultIntervalSeconds)
                            : kDefaultIntervalSeconds,
                   0, kMaxIntervalSeconds);

    if (options.verticalLayout)
        settings.verticalLayout = *options.verticalLayout;
    if (options.noReviewsNoWrites)
        settings.noReviewsNoWrites = *options.noReviewsNoWrites;
    if (options.intervalSeconds)
        settings.intervalSeconds = *options.intervalSeconds;
    settings.repeatMinutes = options.repeatMinutes;
    return settings;
}

class HeadlessHarvest {
public:
    HeadlessHarvest(const HarvestOptions& options, AppDir dir)
        : options_(options),
          dir_(std::move(dir)),
          clock_(options.minuteMs),
          progress_(dir_),
          log_(sink_, locale_, clock_, dir_),
          http_([this] { Pump(); }),
          spreadsheet_(options.workbook
                           ? std::unique_ptr<SpreadsheetApp>(
                                 std::make_unique<XlsxSpreadsheetApp>(locale_.DecimalSeparator()))
                           : std::make_unique<NoSpreadsheet>()),
          workbook_(log_, *spreadsheet_, opener_) {
        sink_.beforeLine = [this] { progress_.Hide(); };
        sink_.afterLine = [this] { progress_.Show(); };
    }

    ExitStatus Run() {
        // Signals caught since main began are handled from here on.
        const TerminationSignals terminations([this] { OnSignal(); });
        for (bool first = true;; first = false) {
            Pump();
            if (signalled_)
                return ExitStatus::Stopped;
            std::optional<int> repeatMs;
            bool busy = false;
            const ExitStatus status = RunOnce(repeatMs, busy);
            if (signalled_ && (status != ExitStatus::NotStarted || !first))
                return ExitStatus::Stopped;
            // A schedule outlives a window that harvests the same folder for a while: only a
            // refusal of its first run ends it. The window's repeat goes on after a failed run,
            // as its clean-up re-arms the timer.
            if (busy && !first && options_.repeatMinutes) {
                PrintError(HarvestTexts::tr("the next run in %1 min").arg(*options_.repeatMinutes));
                repeatMs = *options_.repeatMinutes * 60000;
            } else if (!repeatMs || status == ExitStatus::NotStarted)
                return status;
            if (!Wait(static_cast<int>(qint64(*repeatMs) * options_.minuteMs / 60000)))
                return ExitStatus::Stopped;
        }
    }

private:
    // busy: the run was refused because another run holds the folder.
    ExitStatus RunOnce(std::optional<int>& repeatMs, bool& busy) {
        std::optional<ConsoleRunSettings> settings;
        try {
            // Refused before any file is read; the run takes the lock itself when it starts.
            if (FolderRunLock::IsBusy(dir_)) {
                busy = true;
                PrintBusy();
                return ExitStatus::NotStarted;
            }
            settings = ReadRunSettings(dir_, options_, locale_.CodePage());
        } catch (const Error& error) {
            PrintError(error.Message());
            return ExitStatus::NotStarted;
        }

        const bool noCards = settings->cardLines.isEmpty();
        ConsoleRunHost host(std::move(*settings), progress_, [this] { Pump(); });
        HarvestRun run(host, http_, clock_, log_, locale_, dir_, options_.endpoints, stop_,
                       workbook_);
        // What the window shows in its error report: a start that failed before the cards
        // (proxy.txt, a store that cannot be read), or a store that could not be saved.
        const auto escaped = [&](const QString& message) {
            progress_.EndRun();
            PrintError(message);
            return host.ReachedCards() || run.Failed() ? ExitStatus::Failed
                                                       : ExitStatus::NotStarted;
        };
        try {
            run.Run();
        } catch (const Error& error) {
            return escaped(error.Message());
        } catch (const std::exception& error) {
            return escaped(QString::fromLocal8Bit(error.what()));
        }
        if (!host.Started()) {  // the run said why on standard error
            // The run refuses for one of two reasons: no card, or a run that holds the folder.
            busy = !TrimControls(host.CardListText()).isEmpty();
            if (noCards) {  // and where the list belongs, which an installed copy chose itself
                PrintError(HarvestTexts::tr("the cards are read from \"%1\", one URL a line")
                               .arg(QDir::toNativeSeparators(
                                   dir_.FilePath(QString::fromLatin1(kCardListFileName)))));
            }
            return ExitStatus::NotStarted;
        }
        repeatMs = host.RepeatMs();
        // A card left behind after all its attempts (a dead proxy, the site down) is a failure
        // a schedule must see, though the run itself went to its end.
        return run.Failed() || run.FailedCards() > 0 ? ExitStatus::Failed : ExitStatus::Done;
    }

    // In the words of the run itself, when it is the one to notice.
    void PrintBusy() {
        PrintWarning(progress_, QStringLiteral("Старт невозможен"), FolderBusyMessage(dir_));
    }

    // False when a signal ended the wait.
    bool Wait(int ms) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(ms);
        waitLoop_ = &loop;
        loop.exec();
        waitLoop_ = nullptr;
        return !signalled_;
    }

    // A run clears its stop flag when it starts, so a signal that came before is asked again.
    void Pump() {
        QCoreApplication::processEvents();
        if (signalled_)
            stop_.RequestAbort();
    }

    void OnSignal() {
        if (!signalled_) {
            signalled_ = true;
            progress_.Hide();
            PrintError(HarvestTexts::tr("stopping: the rows written so far are kept"));
        }
        stop_.RequestAbort();
        if (waitLoop_)
            waitLoop_->quit();
    }

    const HarvestOptions& options_;
    AppDir dir_;
    ScaledClock clock_;
    SystemLocale locale_;
    ConsoleLogSink sink_;
    ProgressLine progress_;
    RunLog log_;
    HttpClient http_;
    NoOpener opener_;
    std::unique_ptr<SpreadsheetApp> spreadsheet_;
    WorkbookStep workbook_;
    StopFlag stop_;
    QEventLoop* waitLoop_ = nullptr;
    bool signalled_ = false;
};

// --dir when given, otherwise the folder the window would use; nothing when there is none.
std::optional<AppDir> FilesFolder(const HarvestOptions& options, const AppDir& programDir) {
    if (options.dir.isEmpty()) {
        try {
            return FilesFolderOfThisProcess(programDir);
        } catch (const FilesFolderUnavailable& error) {
            PrintError(error.Message());
            return std::nullopt;
        }
    }
    const QFileInfo folder(options.dir);
    if (!folder.isDir()) {
        PrintError(HarvestTexts::tr("\"%1\" is no folder").arg(options.dir));
        return std::nullopt;
    }
    return AppDir(folder.absoluteFilePath());
}

}  // namespace

ExitStatus RunHeadlessHarvest(const HarvestOptions& options) {
    // The refusals judge the program's own folder, as the window's do.
    const AppDir programDir = AppDir::OfExecutable();
    if (const std::optional<QString> refusal = StartupRefusal(programDir.Path(), TlsAvailable())) {
        PrintError(QString::fromUtf8(kRefusalCaption) + u' ' + *refusal);
        return ExitStatus::NotStarted;
    }
    const std::optional<AppDir> dir = FilesFolder(options, programDir);
    if (!dir)
        return ExitStatus::NotStarted;
    return HeadlessHarvest(options, *dir).Run();
}

}  // namespace quillorn
