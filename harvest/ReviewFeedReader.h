// Pages through the reviews feed of one card, fifty reviews a page: renews the feed key when the
// feed asks for it, recognises the feed's error answers, retries a failing page up to 20 times with
// a 1000 ms back-off, and hands every review to AcceptReview and every new one to the result table.
#pragma once

#include <QSet>
#include <QString>

#include "output/CardProfile.h"
#include "output/ReviewRecord.h"

namespace quillorn {

class Clock;
class HttpClient;
class ResultTable;
class ReviewJournal;
class RunLog;
class SeenReviewStore;
class StopFlag;
class JsonArray;
class JsonValue;
struct Endpoints;

// How a feed ended: paged to its end (or given up), or at a stop check, which ends the run.
enum class FeedEnd { Finished, Stopped };

class ReviewFeedReader {
public:
    static constexpr int kPageSize = 50;
    static constexpr int kAttemptsPerPage = 20;
    static constexpr int kPausePerPageMs = 100;
    static constexpr int kBackOffMs = 1000;

    // Keeps references to every collaborator; they must outlive the reader.
    ReviewFeedReader(HttpClient& client, Clock& clock, RunLog& log, const StopFlag& stop,
                     const Endpoints& endpoints, SeenReviewStore& store, ReviewJournal& journal,
                     ResultTable& table);

    // Reads the whole feed of the card, starting with reviewApiKey; a key the feed hands out holds
    // for the rest of this feed. Failures of a page are logged and retried here and never leave;
    // an OutputFailure (a review that cannot be recorded) does.
    [[nodiscard]] FeedEnd ReadFeed(const QString& branchId, const QString& reviewApiKey,
                                   const CardProfile& profile);

    // The address of feed page `page` (1-based), the inserted values taken as they are.
    static QString PageAddress(const QString& apiBase, const QString& branchId, int page,
                               const QString& key);

    // The record of one element of a page's "reviews" array; siteAddress prefixes author links.
    static ReviewRecord ReadReview(const JsonValue& review, const QString& siteAddress);

private:
    // What one attempt at a feed page came to.
    enum class PageOutcome {
        NextPage,    // read; it announces a further page
        LastPage,    // read; nothing follows it
        KeyRenewed,  // the feed handed out a new key: the same page is asked again with it
        Failed,      // logged and backed off; the next attempt asks for the current page
        FeedOver,    // the feed says it has no more reviews
        Stopped,     // a stop was requested
    };

    // Where one card's feed stands.
    struct FeedState {
        const QString& branchId;
        const CardProfile& profile;
        QString key;
        int page = 1;  // the page asked for next, 1-based
        // Every review id the feed has returned so far, whether taken or skipped.
        QSet<QString> returnedIds;
    };

    // Up to kAttemptsPerPage attempts, ending at the first that is neither failed nor a renewed
    // key; the outcome of the last attempt.
    PageOutcome ReadSeries(FeedState& feed);
    PageOutcome AttemptPage(FeedState& feed);
    // Requests, checks and handles the current page. Raises Failure for an error answer; the
    // page number moves on once the answer has passed the checks.
    PageOutcome ReadPage(FeedState& feed);
    // Adds the ids of a page's reviews to those the feed returned; false when every one of them
    // was returned before. A feed that hands back the same reviews whatever the offset, with a
    // further page announced every time, would otherwise never end.
    static bool NoteReturnedIds(FeedState& feed, const JsonArray& reviews);
    PageOutcome HandlePageFailure(const QString& message);
    void BackOff();

    HttpClient& client_;
    Clock& clock_;
    RunLog& log_;
    const StopFlag& stop_;
    const Endpoints& endpoints_;
    SeenReviewStore& store_;
    ReviewJournal& journal_;
    ResultTable& table_;
};

}  // namespace quillorn
