// Pages through the reviews feed of one card, fifty reviews a page: renews the feed key when the
// feed asks for it, recognises the feed's error answers, retries a failing page up to 20 times with
// a 1000 ms back-off, and hands every review to AcceptReview and every new one to the result table.
#pragma once

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

    // Reads the whole feed of the card. reviewApiKey is replaced when the feed hands out a new
    // key, and the new key holds for the rest of the card attempt. Failures of a page are logged
    // and retried here and never leave; an OutputFailure (a review that cannot be recorded) does.
    [[nodiscard]] FeedEnd ReadFeed(const QString& branchId, QString& reviewApiKey,
                                   const CardProfile& profile);

    // The address of feed page `page` (1-based), the inserted values taken as they are.
    static QString PageAddress(const QString& apiBase, const QString& branchId, int page,
                               const QString& key);

    // The record of one element of a page's "reviews" array; siteAddress prefixes author links.
    static ReviewRecord ReadReview(const JsonValue& review, const QString& siteAddress);

private:
    // One attempt at a page; true when the feed must stop. Raises Failure for a failed attempt.
    bool ReadPage(const QString& branchId, QString& reviewApiKey, const CardProfile& profile,
                  int& page, bool& nextPage);

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
