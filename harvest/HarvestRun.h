// One harvest run, the body of the start button's handler: validates the card list, sets up the
// client and the outputs, visits every card URL in turn (pacing, attempts, back-off, the pause
// after a 429, four stop checks), reads each card page and its reviews feed, and ends with the
// result file closed, the log file saved, the workbook made and the store of taken reviews saved.
// It runs on the window's thread and keeps the window alive by pumping its events in every wait.
// A run holds its folder's run lock from its start until its store is saved.
#pragma once

#include <QString>
#include <cstdint>

#include "platform/AppDir.h"

namespace quillorn {

class CardPageReader;
class Clock;
class HttpClient;
class LocaleServices;
class ResultTable;
class ReviewFeedReader;
class RunHost;
class RunLog;
class StopFlag;
class WorkbookStep;
struct Endpoints;

class HarvestRun {
public:
    static constexpr int kAttemptsPerCard = 20;
    static constexpr std::uint32_t kBackOffMs = 1000;
    static constexpr std::uint32_t kTooManyRequestsPauseMs = 60000;
    static constexpr std::uint32_t kWaitStepMs = 10;

    // Every collaborator is kept by reference and must outlive the run object; one object may
    // perform any number of runs, one after another. host: the window's controls; client: the one
    // HTTP client of the process (its cookies and connection persist across runs); log: the run
    // log over the window's log panel; locale: time stamps, decimal separator, id comparison; dir:
    // where every file lies; endpoints: the reviews API and the directory site; stop: the flag the
    // stop button and closing the window set; workbook: the last step of a normal end.
    HarvestRun(RunHost& host, HttpClient& client, Clock& clock, RunLog& log,
               const LocaleServices& locale, AppDir dir, const Endpoints& endpoints, StopFlag& stop,
               WorkbookStep& workbook);

    // Performs one run and returns when it has ended. An empty card list, or a folder another
    // run holds, shows a "Старт невозможен" box and does nothing else. Failures before the first
    // card (the folder that cannot be locked, the proxy line's port, the journal or the store
    // that cannot be opened) and a store that cannot be saved at the end leave this function for
    // the window's error report; every other failure is logged and handled here. A request
    // abandoned by the stop flag's RequestAbort ends the run as a stop does.
    void Run();

    // Whether the last run logged a failure of its own ("Ошибка"): a result file that could not
    // be written, or a workbook that could not be made. A card's failures do not count.
    bool Failed() const { return failed_; }

    // How many cards of the last run failed every one of their attempts and were left behind.
    int FailedCards() const { return failedCards_; }

private:
    enum class Outcome { Finished, Stopped };
    // What one attempt at a card came to: handled to its end, failed (logged and backed off, so
    // the card is tried again while attempts are left), or stopped.
    enum class CardAttempt { Done, Failed, Stopped };
    struct RunParts;

    void RunGuarded(RunParts& parts);
    Outcome CardLoop(RunParts& parts);
    Outcome VisitCard(RunParts& parts, const QString& url);
    CardAttempt AttemptCard(RunParts& parts, const QString& url);
    CardAttempt ReadCard(RunParts& parts, const QString& url);
    void HandleCardFailure(const QString& message);
    void WaitSince(std::uint32_t since, std::uint32_t waitMs);
    void LogRunFailure(const QString& message);
    void RearmRepeat();

    RunHost& host_;
    HttpClient& client_;
    Clock& clock_;
    RunLog& log_;
    const LocaleServices& locale_;
    AppDir dir_;
    const Endpoints& endpoints_;
    StopFlag& stop_;
    WorkbookStep& workbook_;
    // When the previous card page arrived or the last 429 pause began; 0 when a run starts.
    std::uint32_t lastCardTick_ = 0;
    bool failed_ = false;
    int failedCards_ = 0;
};

}  // namespace quillorn
