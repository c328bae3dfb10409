#include "harvest/ReviewFeedReader.h"

#include "tests/harvest/ReviewFeedReaderFixture.h"

namespace quillorn {
namespace {

using standin::StandInCard;
using standin::StandInDirectory;
using standin::StandInReview;
using test::CardWithReviews;
using test::ReviewFeedReaderTest;

TEST_F(ReviewFeedReaderTest, ReadsOneHundredTwentyReviewsInThreePages) {
    directory.AddCard(CardWithReviews(QStringLiteral("7"), 120));
    EXPECT_EQ(Read(QStringLiteral("7")), FeedEnd::Finished);

    EXPECT_EQ(directory.RequestLines(),
              QStringList({FeedLine("7", 0), FeedLine("7", 50), FeedLine("7", 100)}));
    const QStringList messages = Messages();
    EXPECT_EQ(messages.filter(QStringLiteral("Загружаем отзывы")),
              QStringList({": Загружаем отзывы, страница 1", ": Загружаем отзывы, страница 2",
                           ": Загружаем отзывы, страница 3"}));
    EXPECT_EQ(clock.TotalSlept(), 300u);  // the pause after each page, no back-off
    const QStringList rows = DataRows();
    ASSERT_EQ(rows.size(), 120);
    // Decoded as UTF-8 although the answers declare no charset.
    EXPECT_TRUE(rows.at(119).contains(QStringLiteral("\"Отзыв №119\"")));
    EXPECT_EQ(store.Count(), 120);
}

TEST_F(ReviewFeedReaderTest, EmptyFirstPageEndsTheFeedAfterOneRequest) {
    directory.AddCard(CardWithReviews(QStringLiteral("8"), 0));
    EXPECT_EQ(Read(QStringLiteral("8")), FeedEnd::Finished);
    EXPECT_EQ(directory.RequestLines(), QStringList{FeedLine("8", 0)});
    EXPECT_TRUE(DataRows().isEmpty());
}

TEST_F(ReviewFeedReaderTest, SkipsReviewsTakenBeforeWithOnlyTheSkipLine) {
    directory.AddCard(CardWithReviews(QStringLiteral("9"), 3));
    store.Add(QStringLiteral("R9-1"));  // letter case does not matter
    EXPECT_EQ(Read(QStringLiteral("9")), FeedEnd::Finished);
    EXPECT_TRUE(Messages().contains(QStringLiteral(": пропускаем отзыв r9-1, он выгружен ранее")));
    EXPECT_EQ(DataRows().size(), 2);
    journal.Close();
    QFile journalFile(journal.FilePath());
    ASSERT_TRUE(journalFile.open(QIODevice::ReadOnly));
    const QByteArray lines = journalFile.readAll();
    EXPECT_TRUE(lines.startsWith("r9-0\t"));
    EXPECT_FALSE(lines.contains("r9-1"));
    EXPECT_TRUE(lines.contains("\r\nr9-2\t"));
}

TEST_F(ReviewFeedReaderTest, ErrorAnswerIsLoggedAndThePageAskedAgain) {
    directory.AddCard(CardWithReviews(QStringLiteral("11"), 2));
    directory.ScriptFeed(
        QStringLiteral("11"), 0,
        StandInDirectory::Json(standin::ErrorJson(400, QStringLiteral("Bad key"))));
    EXPECT_EQ(Read(QStringLiteral("11")), FeedEnd::Finished);
    EXPECT_EQ(Messages(), QStringList({": Загружаем отзывы, страница 1", ": ERROR_Bad key",
                                       ": Загружаем отзывы, страница 1"}));

    // A failure that speaks of a new token is part of the feed's paging: backed off, unlogged.
    directory.AddCard(CardWithReviews(QStringLiteral("18"), 1));
    directory.ScriptFeed(
        QStringLiteral("18"), 0,
        StandInDirectory::Json(standin::ErrorJson(403, QStringLiteral("New token required"))));
    sink.Clear();
    EXPECT_EQ(Read(QStringLiteral("18")), FeedEnd::Finished);
    EXPECT_TRUE(Messages().filter(QStringLiteral("ERROR_")).isEmpty());
    EXPECT_EQ(Messages().filter(QStringLiteral("Загружаем отзывы")).size(), 2);
    EXPECT_EQ(DataRows().size(), 3);
}

TEST_F(ReviewFeedReaderTest, AKeyRenewedAtEveryRequestCountsAsAFailedAttemptEachTime) {
    directory.AddCard(CardWithReviews(QStringLiteral("19"), 1));
    directory.ScriptFeed(QStringLiteral("19"), -1,
                         StandInDirectory::Json(standin::InvalidTokenJson(QStringLiteral("k19"))),
                         25);
    EXPECT_EQ(Read(QStringLiteral("19")), FeedEnd::Finished);
    EXPECT_EQ(directory.Requests().size(), 20u);
    EXPECT_EQ(directory.ApiConnections(), 20);  // a new connection after each
    EXPECT_EQ(clock.TotalSlept(), 20u * 1000u);
    EXPECT_TRUE(Messages().filter(QStringLiteral("ERROR_")).isEmpty());
    EXPECT_TRUE(DataRows().isEmpty());
}

TEST_F(ReviewFeedReaderTest, APageOfReviewsTheFeedReturnedBeforeEndsTheFeed) {
    // Whatever the offset, the same fifty reviews and a further page announced.
    StandInCard card = CardWithReviews(QStringLiteral("20"), 50);
    card.lastNextLink = standin::LastNextLink::NullOnEveryPage;
    directory.AddCard(card);
    directory.ScriptFeed(
        QStringLiteral("20"), -1,
        StandInDirectory::Json(standin::FeedPageJson(card, 0, 50, directory.ApiBase())), 1000);
    store.Add(QStringLiteral("r20-0"));  // taken in an earlier run: it does not count here
    EXPECT_EQ(Read(QStringLiteral("20")), FeedEnd::Finished);
    EXPECT_EQ(directory.Requests().size(), 2u);
    EXPECT_EQ(
        Messages().last(),
        QStringLiteral(": Страница повторяет уже полученные отзывы, лента карточки закончена"));
    EXPECT_EQ(DataRows().size(), 49);
}

TEST_F(ReviewFeedReaderTest, InternalErrorEndsTheFeed) {
    directory.AddCard(CardWithReviews(QStringLiteral("12"), 120));
    directory.ScriptFeed(
        QStringLiteral("12"), 50,
        StandInDirectory::Json(standin::ErrorJson(500, QStringLiteral("Internal error"))));
    EXPECT_EQ(Read(QStringLiteral("12")), FeedEnd::Finished);
    EXPECT_EQ(directory.RequestLines(), QStringList({FeedLine("12", 0), FeedLine("12", 50)}));
    EXPECT_EQ(Messages().mid(2),
              QStringList({": ERROR_Internal error", ": ERROR_Отзывы закончились"}));
    EXPECT_EQ(DataRows().size(), 50);
}

TEST_F(ReviewFeedReaderTest, PageWithoutReviewsEndsTheFeedWhateverItAnnounces) {
    // A null next_link announces a further page, on every page: the first empty one ends it.
    StandInCard nulls = CardWithReviews(QStringLiteral("13"), 120);
    nulls.lastNextLink = standin::LastNextLink::NullOnEveryPage;
    directory.AddCard(nulls);
    // A sentinel: a feed that went on past its end stops here.
    const standin::HttpResponse internalError =
        StandInDirectory::Json(standin::ErrorJson(500, QStringLiteral("Internal error")));
    directory.ScriptFeed(QStringLiteral("13"), 250, internalError);
    EXPECT_EQ(Read(QStringLiteral("13")), FeedEnd::Finished);
    EXPECT_EQ(directory.RequestLines(), QStringList({FeedLine("13", 0), FeedLine("13", 50),
                                                     FeedLine("13", 100), FeedLine("13", 150)}));
    EXPECT_EQ(store.Count(), 120);

    // An answer without a "reviews" array ends it too.
    StandInCard noArray = CardWithReviews(QStringLiteral("16"), 60);
    noArray.lastNextLink = standin::LastNextLink::NullOnEveryPage;
    directory.AddCard(noArray);
    directory.ScriptFeed(QStringLiteral("16"), 50,
                         StandInDirectory::Json(R"({"meta":{"code":200,"next_link":null}})"));
    directory.ScriptFeed(QStringLiteral("16"), 150, internalError);
    directory.ClearRequests();
    EXPECT_EQ(Read(QStringLiteral("16")), FeedEnd::Finished);
    EXPECT_EQ(directory.RequestLines(), QStringList({FeedLine("16", 0), FeedLine("16", 50)}));

    // An empty next_link ends the feed on a page with reviews.
    StandInCard empty = CardWithReviews(QStringLiteral("17"), 10);
    empty.lastNextLink = standin::LastNextLink::Empty;
    directory.AddCard(empty);
    directory.ClearRequests();
    EXPECT_EQ(Read(QStringLiteral("17")), FeedEnd::Finished);
    EXPECT_EQ(directory.RequestLines(), QStringList{FeedLine("17", 0)});
    EXPECT_EQ(DataRows().size(), 120 + 50 + 10);
}

TEST_F(ReviewFeedReaderTest, FirstPageFailingTwentyTimesEndsTheFeed) {
    directory.AddCard(CardWithReviews(QStringLiteral("14"), 5));
    directory.ScriptFeed(QStringLiteral("14"), -1,
                         standin::HttpResponse::Status(503, "Service Unavailable"), 20);
    EXPECT_EQ(Read(QStringLiteral("14")), FeedEnd::Finished);
    EXPECT_EQ(directory.Requests().size(), 20u);
    EXPECT_EQ(Messages().filter(QStringLiteral(": ERROR_HTTP/1.1 503 Service Unavailable")).size(),
              20);
    EXPECT_EQ(clock.TotalSlept(), 20u * 1000u);
    EXPECT_EQ(directory.ApiConnections(), 20);
}

TEST_F(ReviewFeedReaderTest, LaterPageFailingAWholeSeriesEndsTheFeedToo) {
    directory.AddCard(CardWithReviews(QStringLiteral("15"), 120));
    directory.ScriptFeed(QStringLiteral("15"), 50,
                         standin::HttpResponse::Status(502, "Bad Gateway"), 25);
    EXPECT_EQ(Read(QStringLiteral("15")), FeedEnd::Finished);
    const QStringList lines = directory.RequestLines();
    ASSERT_EQ(lines.size(), 21);  // page 1, then one series of 20 for page 2, and no more
    EXPECT_EQ(lines.count(FeedLine("15", 50)), 20);
    EXPECT_EQ(DataRows().size(), 50);
}

TEST(ReviewRecordTest, ReadsTheFieldsOfAReview) {
    const JsonValuePtr page = ParseJson(
        QStringLiteral(R"({"reviews":[{"id":"a","text":"t","date_created":"2023-05-17","rating":4,)"
                       R"("likes_count":2,"user":{"id":"u1","name":"N","reviews_count":7},)"
                       R"("official_answer":{"text":"Спасибо"}},)"
                       R"({"id":"b","user":null,"official_answer":null},)"
                       R"({"id":"c","user":{"id":"","name":"M"}},{"id":"d"}]})"));
    ASSERT_TRUE(page);
    const JsonArrayPtr reviews = page->LookupArray(u"reviews");
    ASSERT_TRUE(reviews);
    const QString site = QStringLiteral("https://site");

    const ReviewRecord full = ReviewFeedReader::ReadReview(*reviews->ItemAt(0), site);
    EXPECT_EQ(full.Id, QStringLiteral("a"));
    EXPECT_TRUE(full.HasAuthor);
    EXPECT_EQ(full.AuthorName, QStringLiteral("N"));
    EXPECT_EQ(full.AuthorReviewCount, QStringLiteral("7"));
    EXPECT_EQ(full.AuthorProfileUrl, QStringLiteral("https://site/user/u1"));
    EXPECT_EQ(full.Text, QStringLiteral("t"));
    EXPECT_EQ(full.DateCreated, QStringLiteral("2023-05-17"));
    EXPECT_EQ(full.Rating, QStringLiteral("4"));
    EXPECT_EQ(full.LikesCount, QStringLiteral("2"));
    EXPECT_EQ(full.OfficialAnswer, QStringLiteral("Спасибо"));

    // A null author is an author with empty fields; a null answer is no answer.
    const ReviewRecord nullUser = ReviewFeedReader::ReadReview(*reviews->ItemAt(1), site);
    EXPECT_TRUE(nullUser.HasAuthor);
    EXPECT_TRUE(nullUser.AuthorName.isEmpty());
    EXPECT_TRUE(nullUser.AuthorProfileUrl.isEmpty());
    EXPECT_TRUE(nullUser.OfficialAnswer.isEmpty());

    const ReviewRecord emptyId = ReviewFeedReader::ReadReview(*reviews->ItemAt(2), site);
    EXPECT_EQ(emptyId.AuthorName, QStringLiteral("M"));
    EXPECT_TRUE(emptyId.AuthorProfileUrl.isEmpty());

    const ReviewRecord anonymous = ReviewFeedReader::ReadReview(*reviews->ItemAt(3), site);
    EXPECT_FALSE(anonymous.HasAuthor);
    EXPECT_TRUE(anonymous.Text.isEmpty());
}

}  // namespace
}  // namespace quillorn
