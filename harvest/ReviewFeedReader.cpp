#include "harvest/ReviewFeedReader.h"

#include "harvest/Endpoints.h"
#include "harvest/StopFlag.h"
#include "harvest/TextHelpers.h"
#include "json/JsonValue.h"
#include "net/HttpClient.h"
#include "output/AcceptReview.h"
#include "output/ResultTable.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "platform/Clock.h"
#include "platform/Errors.h"

namespace quillorn {

ReviewFeedReader::ReviewFeedReader(HttpClient& client, Clock& clock, RunLog& log,
                                   const StopFlag& stop, const Endpoints& endpoints,
                                   SeenReviewStore& store, ReviewJournal& journal,
                                   ResultTable& table)
    : client_(client),
      clock_(clock),
      log_(log),
      stop_(stop),
      endpoints_(endpoints),
      store_(store),
      journal_(journal),
      table_(table) {}

QString ReviewFeedReader::PageAddress(const QString& apiBase, const QString& branchId, int page,
                                      const QString& key) {
    return apiBase + QStringLiteral("/2.0/branches/") + branchId +
           QStringLiteral("/reviews?limit=50&offset=") + QString::number((page - 1) * kPageSize) +
           QStringLiteral(
               "&is_advertiser=false&fields=meta.providers,meta.branch_rating,"
               "meta.branch_reviews_count,meta.total_count,reviews.hiding_reason,") +
           QStringLiteral(
               "reviews.is_verified,reviews.emojis&without_my_first_review=false&rated=true&"
               "sort_by=date_created") +
           QStringLiteral("&key=") + key + QStringLiteral("&locale=ru_RU");
}

ReviewRecord ReviewFeedReader::ReadReview(const JsonValue& review, const QString& siteAddress) {
    ReviewRecord record;
    record.Id = StorableReviewId(review.LookupString(u"id"));
    // A "user" member of any kind, null included, means the review has an author.
    if (const JsonValuePtr user = review.Lookup(u"user")) {
        record.HasAuthor = true;
        record.AuthorName = user->LookupString(u"name");
        record.AuthorReviewCount = user->LookupString(u"reviews_count");
        const QString userId = user->LookupString(u"id");
        if (!userId.isEmpty())
            record.AuthorProfileUrl = siteAddress + QStringLiteral("/user/") + userId;
    }
    record.Text = review.LookupString(u"text");
    record.DateCreated = review.LookupString(u"date_created");
    record.Rating = review.LookupString(u"rating");
    record.LikesCount = review.LookupString(u"likes_count");
    if (const JsonValuePtr answer = review.Lookup(u"official_answer"))
        record.OfficialAnswer = answer->LookupString(u"text");
    return record;
}

FeedEnd ReviewFeedReader::ReadFeed(const QString& branchId, const QString& reviewApiKey,
                                   const CardProfile& profile) {
    FeedState feed{branchId, profile, reviewApiKey, 1, {}};
    for (;;) {
        switch (ReadSeries(feed)) {
            case PageOutcome::Stopped:
                return FeedEnd::Stopped;
            case PageOutcome::NextPage:
                continue;
            default:
                // A page that failed a whole series ends the feed even when the page before it
                // announced more: otherwise a permanently failing page would keep the run going for
                // ever.
                return FeedEnd::Finished;
        }
    }
}

ReviewFeedReader::PageOutcome ReviewFeedReader::ReadSeries(FeedState& feed) {
    PageOutcome outcome = PageOutcome::Failed;
    for (int attempt = 0; attempt < kAttemptsPerPage; ++attempt) {
        outcome = AttemptPage(feed);
        if (outcome != PageOutcome::Failed && outcome != PageOutcome::KeyRenewed)
            break;
    }
    return outcome;
}

ReviewFeedReader::PageOutcome ReviewFeedReader::AttemptPage(FeedState& feed) {
    if (stop_.IsRequested())
        return PageOutcome::Stopped;
    log_.Add(QStringLiteral(": Загружаем отзывы, страница ") + QString::number(feed.page));
    try {
        const PageOutcome outcome = ReadPage(feed);
        if (outcome == PageOutcome::KeyRenewed)
            BackOff();  // a renewed key counts as a failed attempt, without an error line
        return outcome;
    } catch (const Failure& failure) {
        return HandlePageFailure(failure.Message());
    }
}

ReviewFeedReader::PageOutcome ReviewFeedReader::ReadPage(FeedState& feed) {
    QByteArray bytes;
    client_.Get(PageAddress(endpoints_.reviewsApiBase, feed.branchId, feed.page, feed.key), bytes);
    // The feed is UTF-8 whatever its headers declare.
    const QString answer = QString::fromUtf8(bytes);
    if (answer.contains(u"Invalid csrf token")) {
        feed.key = ExtractBetween(answer, QStringLiteral("\"csrfToken\":\""), QStringLiteral("\""));
        return PageOutcome::KeyRenewed;
    }
    if (answer.contains(u"\"error\":"))
        throw Failure(
            ExtractBetween(answer, QStringLiteral("\"message\":\""), QStringLiteral("\"}")));

    clock_.Sleep(kPausePerPageMs);
    // From here on a failure leaves the page behind: the next attempt asks for the one after it.
    ++feed.page;
    const JsonValuePtr document = ParseJson(answer);
    bool nextPage = false;
    if (document) {
        if (const JsonValuePtr meta = document->Lookup(u"meta"))
            nextPage = !meta->LookupString(u"next_link").isEmpty();
    }
    if (stop_.IsRequested())
        return PageOutcome::Stopped;
    if (!document)
        return PageOutcome::LastPage;
    const JsonValuePtr reviews = document->Lookup(u"reviews");
    const JsonArrayPtr list = reviews ? reviews->AsArray() : nullptr;
    // A page without reviews is past the end of the feed, whatever it announces: a null
    // next_link reads as "null", and a feed that says so on every page would never end.
    if (!list || list->Length() == 0)
        return PageOutcome::LastPage;
    if (!NoteReturnedIds(feed, *list)) {
        log_.Add(
            QStringLiteral(": Страница повторяет уже полученные отзывы, лента карточки "
                           "закончена"));
        return PageOutcome::LastPage;
    }
    for (int i = 0; i < list->Length(); ++i) {
        const JsonValuePtr review = list->ItemAt(i);
        if (!review)
            continue;
        const QString id = StorableReviewId(review->LookupString(u"id"));
        if (!AcceptReview(id, store_, journal_, log_))
            continue;
        // A row that cannot be written gives its reviews back to the store (the table sees to
        // it) and ends the run.
        table_.AddReview(feed.profile, ReadReview(*review, endpoints_.siteAddress));
    }
    return nextPage ? PageOutcome::NextPage : PageOutcome::LastPage;
}

bool ReviewFeedReader::NoteReturnedIds(FeedState& feed, const JsonArray& reviews) {
    bool anyNew = false;
    for (int i = 0; i < reviews.Length(); ++i) {
        if (const JsonValuePtr review = reviews.ItemAt(i)) {
            const qsizetype before = feed.returnedIds.size();
            feed.returnedIds.insert(StorableReviewId(review->LookupString(u"id")));
            anyNew = anyNew || feed.returnedIds.size() > before;
        }
    }
    return anyNew;
}

ReviewFeedReader::PageOutcome ReviewFeedReader::HandlePageFailure(const QString& message) {
    BackOff();
    // The feed asking for a new token is part of its paging, not an error of the run.
    if (!message.contains(u"New token"))
        log_.Add(QStringLiteral(": ERROR_") + message);
    if (!message.contains(u"Internal error"))
        return PageOutcome::Failed;
    log_.Add(QStringLiteral(": ERROR_Отзывы закончились"));
    return PageOutcome::FeedOver;
}

void ReviewFeedReader::BackOff() {
    client_.ResetConnection();
    clock_.Sleep(kBackOffMs);  // no pumping here, by design: the request itself pumps
}

}  // namespace quillorn
