#include "harvest/HarvestRun.h"

#include <QDir>
#include <algorithm>
#include <exception>
#include <limits>
#include <optional>

#include "harvest/CardPageReader.h"
#include "harvest/Endpoints.h"
#include "harvest/ReviewFeedReader.h"
#include "harvest/RunHost.h"
#include "harvest/StopFlag.h"
#include "net/HttpClient.h"
#include "net/RequestSettings.h"
#include "output/ResultTable.h"
#include "output/ReviewJournal.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "output/WorkbookStep.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/FolderRunLock.h"
#include "platform/LocaleServices.h"
#include "platform/TrimControls.h"

namespace quillorn {

namespace {

// For the length of a run, closing the window or a termination signal abandons the request in
// progress; the stop button lets it finish. The client outlives the run, so the check goes again.
class AbortCheckScope {
public:
    AbortCheckScope(HttpClient& client, const StopFlag& stop) : client_(client) {
        client_.SetAbortCheck([&stop] { return stop.AbortRequested(); });
    }
    ~AbortCheckScope() { client_.SetAbortCheck({}); }
    AbortCheckScope(const AbortCheckScope&) = delete;
    AbortCheckScope& operator=(const AbortCheckScope&) = delete;

private:
    HttpClient& client_;
};

}  // namespace

// What one run creates and drops again.
struct HarvestRun::RunParts {
    RunParts(HarvestRun& run, bool vertical)
        : vertical(vertical),
          journal(run.locale_, run.dir_),
          store(run.locale_, run.log_, run.dir_),
          taken(store, run.dir_),
          table(run.log_, run.clock_, run.dir_, &taken),
          reader(run.locale_.DecimalSeparator()),
          feed(run.client_, run.clock_, run.log_, run.stop_, run.endpoints_, store, journal,
               table) {}

    bool vertical;
    ReviewJournal journal;
    SeenReviewStore store;
    // A review counts as taken only once its row is in the result file: the table reports here.
    TakenReviews taken;
    ResultTable table;
    CardPageReader reader;
    ReviewFeedReader feed;
    QString workbook;  // once made
};

HarvestRun::HarvestRun(RunHost& host, HttpClient& client, Clock& clock, RunLog& log,
                       const LocaleServices& locale, AppDir dir, const Endpoints& endpoints,
                       StopFlag& stop, WorkbookStep& workbook)
    : host_(host),
      client_(client),
      clock_(clock),
      log_(log),
      locale_(locale),
      dir_(std::move(dir)),
      endpoints_(endpoints),
      stop_(stop),
      workbook_(workbook) {}

void HarvestRun::Run() {
    // Held until the store is saved, on every path: a second run started before that would load
    // the old store and deliver the same reviews again. A refused start changes nothing, not even
    // the log panel.
    const std::optional<FolderRunLock> folderLock = FolderRunLock::TryTake(dir_);
    if (!folderLock) {
        host_.ShowWarning(QStringLiteral("Старт невозможен"), FolderBusyMessage(dir_));
        return;
    }

    const bool vertical = host_.VerticalLayout();
    lastCardTick_ = 0;
    failed_ = false;
    failedCards_ = 0;
    stop_.Clear();
    log_.Clear();
    host_.PumpEvents();
    if (TrimControls(host_.CardListText()).isEmpty()) {
        host_.ShowWarning(QStringLiteral("Старт невозможен"), QStringLiteral("Карточки не заданы"));
        return;
    }

    const RequestSetup setup = ApplyRequestSettings(client_, dir_, locale_.CodePage());
    if (setup.proxyApplied) {
        log_.Add(setup.logMessage);
        host_.SetIntervalSeconds(0);
    }
    host_.PumpEvents();
    host_.DisableRunControls();

    const AbortCheckScope abortCheck(client_, stop_);
    RunParts parts(*this, vertical);
    try {
        parts.journal.Open();
        parts.store.Load();
        parts.taken.SettleInterruptedRow();
    } catch (...) {
        // An abandoned start: the window gets its controls back, and the store file is left
        // exactly as it was (it is never saved after a failed load).
        parts.journal.Close();
        host_.EnableRunControls();
        throw;
    }

    RunGuarded(parts);

    parts.journal.Close();
    host_.EnableRunControls();
    parts.store.Save();  // a failure here goes to the window's error report, without re-arming
    // Every row's ids are in the saved store: nothing is left to settle, and a store the user
    // deletes afterwards is not partly refilled from the last row.
    parts.taken.NoRowComing();
    RearmRepeat();
    host_.RunEnded(
        {parts.taken.DeliveredCount(), parts.table.FilePath(), parts.workbook, failedCards_});
}

// The guarded part of a run: whatever ends it, the rows written so far are kept and the caller's
// clean-up follows.
void HarvestRun::RunGuarded(RunParts& parts) {
    try {
        parts.table.Open(parts.vertical);
        if (CardLoop(parts) == Outcome::Stopped) {
            parts.table.Close();
            return;
        }
        parts.table.Close();
        log_.SaveRunLog();
        if (workbook_.Due(parts.table)) {
            if (workbook_.Run(parts.table))
                parts.workbook = WorkbookStep::WorkbookPath(parts.table);
            else
                failed_ = true;
        }
    } catch (const RequestAborted&) {
        // The program is closing: the run ends as a stopped run, its rows kept.
    } catch (const Error& error) {
        LogRunFailure(error.Message());
    } catch (const std::exception& error) {
        LogRunFailure(QString::fromLocal8Bit(error.what()));
    }
    try {
        parts.table.Close();  // writes a pending per-card row; nothing when already closed
    } catch (const Error& error) {
        LogRunFailure(error.Message());
    }
}

HarvestRun::Outcome HarvestRun::CardLoop(RunParts& parts) {
    const int lines = host_.CardLineCount();
    host_.SetProgressMaximum(lines);
    for (int i = 0; i < lines; ++i) {
        if (i % 3 == 0)
            host_.SetProgressPosition(i);
        host_.PumpEvents();
        // Lines removed while the run goes on leave indices that no longer exist.
        if (i >= host_.CardLineCount())
            throw Failure(QStringLiteral("Card list line %1 no longer exists").arg(i + 1));
        const QString url = TrimControls(host_.CardLine(i));
        if (url.isEmpty())
            continue;
        if (VisitCard(parts, url) == Outcome::Stopped)
            return Outcome::Stopped;
    }
    return Outcome::Finished;
}

HarvestRun::Outcome HarvestRun::VisitCard(RunParts& parts, const QString& url) {
    for (int attempt = 0; attempt < kAttemptsPerCard; ++attempt) {
        switch (AttemptCard(parts, url)) {
            case CardAttempt::Stopped:
                return Outcome::Stopped;
            case CardAttempt::Done:
                return Outcome::Finished;
            case CardAttempt::Failed:
                break;
        }
    }
    ++failedCards_;  // a card that failed every attempt is left behind
    return Outcome::Finished;
}

HarvestRun::CardAttempt HarvestRun::AttemptCard(RunParts& parts, const QString& url) {
    try {
        return ReadCard(parts, url);
    } catch (const Failure& failure) {
        HandleCardFailure(failure.Message());
        return CardAttempt::Failed;
    }
}

HarvestRun::CardAttempt HarvestRun::ReadCard(RunParts& parts, const QString& url) {
    if (stop_.IsRequested())
        return CardAttempt::Stopped;
    const int seconds = std::max(0, host_.IntervalSeconds());
    WaitSince(lastCardTick_, static_cast<std::uint32_t>(std::min(seconds, 4'000'000)) * 1000u);
    log_.Add(QStringLiteral(": Загружаем страницу ") + url);
    const QString text = client_.Get(url);
    lastCardTick_ = clock_.Tick();
    if (stop_.IsRequested())
        return CardAttempt::Stopped;

    CardPage page = parts.reader.Read(text);
    page.Profile.CardUrl = url;
    parts.table.BeginCard();
    if (parts.feed.ReadFeed(page.Profile.BranchId, page.ReviewApiKey, page.Profile) ==
        FeedEnd::Stopped)
        return CardAttempt::Stopped;
    parts.table.EndCard(page.Profile, host_.NoReviewsNoWrites());
    return CardAttempt::Done;
}

void HarvestRun::HandleCardFailure(const QString& message) {
    client_.ResetConnection();
    host_.PumpEvents();
    clock_.Sleep(kBackOffMs);
    log_.Add(QStringLiteral(": ERROR_") + message);
    if (client_.ResponseCode() != 429)
        return;
    log_.Add(QStringLiteral(": Слишком много запросов, включаем паузу на минуту."));
    log_.AddPlain(QStringLiteral("Увеличьте интервал между карточками!"));
    lastCardTick_ = clock_.Tick();
    WaitSince(lastCardTick_, kTooManyRequestsPauseMs);
}

// Waits in short steps, pumping, until waitMs have passed since `since` (tick differences wrap
// like the counter) or a stop is requested. A stop only ends the wait: the caller decides.
void HarvestRun::WaitSince(std::uint32_t since, std::uint32_t waitMs) {
    while (static_cast<std::uint32_t>(clock_.Tick() - since) < waitMs && !stop_.IsRequested()) {
        clock_.Sleep(kWaitStepMs);
        host_.PumpEvents();
    }
}

void HarvestRun::LogRunFailure(const QString& message) {
    failed_ = true;
    log_.Add(QStringLiteral(": Ошибка: ") + message +
             QStringLiteral(". Вероятно, несовместимая версия Экселя."));
}

void HarvestRun::RearmRepeat() {
    if (!host_.RepeatChecked())
        return;
    const int minutes = host_.RepeatMinutes();
    log_.Add(QStringLiteral(": Ставим повторный запуск выгрузки на таймер через, минут: ") +
             QString::number(minutes));
    // Minutes beyond what fits in the timer's milliseconds arm it for the longest it can wait.
    const qint64 ms = qint64(std::max(0, minutes)) * 60000;
    host_.ArmRepeatTimer(static_cast<int>(std::min<qint64>(ms, std::numeric_limits<int>::max())));
}

}  // namespace quillorn
