#include "harvest/CardPageReader.h"

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "standin/StandInPages.h"

namespace quillorn {
namespace {

using standin::StandInCard;

class CardPageReaderTest : public ::testing::Test {
protected:
    static StandInCard Card() {
        StandInCard card;
        card.path = QStringLiteral("/moscow/firm/70000001");
        card.branchId = QStringLiteral("70000001");
        card.key = QStringLiteral("k-123");
        card.name = QStringLiteral("Кафе \"Bob's\" \\ Ко\nрнер");
        card.geometryName = QStringLiteral("Тверская, 1");
        card.addressName = QStringLiteral("ул. Тверская, 1");
        card.admDiv = {{QStringLiteral("city"), QStringLiteral("Москва")}};
        card.generalRating = QStringLiteral("4.7");
        card.ratingCount = QStringLiteral("42");
        return card;
    }
    static CardPage Read(const StandInCard& card, const QString& separator = QStringLiteral(",")) {
        return CardPageReader(separator).Read(QString::fromUtf8(standin::CardPageHtml(card)));
    }
    // A page whose state's profile data is the given JSON object text.
    static QString PageWithProfileData(const QByteArray& data) {
        const QByteArray state = R"({"data":{"entity":{"profile":{"5":{"data":)" + data + "}}}}}";
        return QString::fromUtf8("<script>var initialState = JSON.parse('" +
                                 standin::ScriptStringLiteral(state) +
                                 "');\nvar x = {a:1};</script>");
    }
    static QString CityOf(const QByteArray& admDiv) {
        return CardPageReader(QStringLiteral(","))
            .Read(PageWithProfileData(R"({"adm_div":)" + admDiv + "}"))
            .Profile.City;
    }
};

TEST_F(CardPageReaderTest, ReadsKeyBranchAndProfileFromTheEmbeddedState) {
    const CardPage page = Read(Card());
    EXPECT_EQ(page.ReviewApiKey, QStringLiteral("k-123"));
    EXPECT_EQ(page.Profile.BranchId, QStringLiteral("70000001"));
    // Quotes, apostrophes, backslashes and line breaks survive the script string and its escapes.
    EXPECT_EQ(page.Profile.FirmName, Card().name);
    EXPECT_EQ(page.Profile.City, QStringLiteral("Москва"));
    EXPECT_EQ(page.Profile.Address, QStringLiteral("Тверская, 1"));
    EXPECT_EQ(page.Profile.Rating, QStringLiteral("4,7"));
    EXPECT_EQ(page.Profile.RatingCount, QStringLiteral("42"));
    EXPECT_TRUE(page.Profile.CardUrl.isEmpty());
}

TEST_F(CardPageReaderTest, FailsAsBrokenWithoutABranchId) {
    StandInCard card = Card();
    card.branchId.clear();  // "profile":{} carries no member name
    try {
        Read(card);
        FAIL() << "a page without branch id was read";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("Broken"));
    }
    // The marker followed directly by the closing quote is an empty id as well.
    EXPECT_THROW(CardPageReader(QStringLiteral(","))
                     .Read(QStringLiteral(R"("reviewApiKey":"k" "entity":{"profile":{"":{}}})")),
                 Failure);
}

TEST_F(CardPageReaderTest, PageWithoutStateYieldsKeyAndBranchWithAnEmptyProfile) {
    StandInCard card = Card();
    card.hasState = false;
    // The branch id marker still has to be somewhere in the page.
    const QString html = QString::fromUtf8(standin::CardPageHtml(card)) +
                         QStringLiteral(R"(<i data-x='"entity":{"profile":{"70000001":1}'></i>)");
    const CardPage page = CardPageReader(QStringLiteral(",")).Read(html);
    EXPECT_EQ(page.ReviewApiKey, QStringLiteral("k-123"));
    EXPECT_EQ(page.Profile.BranchId, QStringLiteral("70000001"));
    EXPECT_TRUE(page.Profile.FirmName.isEmpty());
    EXPECT_TRUE(page.Profile.City.isEmpty());  // not ", ": there is no profile data at all
    EXPECT_TRUE(page.Profile.Address.isEmpty());
    EXPECT_TRUE(page.Profile.Rating.isEmpty());
}

TEST_F(CardPageReaderTest, UnreadableStateLeavesTheProfileEmptyWithoutFailing) {
    const QString page = QStringLiteral(
        R"("entity":{"profile":{"9":1 var initialState = JSON.parse('{"data":[1,,}');x={};)");
    const CardPage card = CardPageReader(QStringLiteral(",")).Read(page);
    EXPECT_EQ(card.Profile.BranchId, QStringLiteral("9"));
    EXPECT_TRUE(card.Profile.City.isEmpty());
    EXPECT_TRUE(card.ReviewApiKey.isEmpty());
}

TEST_F(CardPageReaderTest, ComposesTheCityFromTheAdministrativeDivisions) {
    EXPECT_EQ(CityOf(R"([{"type":"district","name":"D"},{"type":"city","name":"C"}])"),
              QStringLiteral("C"));
    EXPECT_EQ(CityOf(R"([{"type":"district_area","name":"A"},{"type":"settlement","name":"S"}])"),
              QStringLiteral("A, S"));
    EXPECT_EQ(CityOf(R"([{"type":"district_area","name":"A"},{"type":"district","name":"D"},)"
                     R"({"type":"settlement","name":"S"}])"),
              QStringLiteral("A, D, S"));
    EXPECT_EQ(CityOf(R"([{"type":"city","name":"C1"},{"type":"city","name":"C2"}])"),
              QStringLiteral("C2"));
    // Types compare exactly; nulls and non-objects contribute nothing.
    EXPECT_EQ(CityOf(R"([null,5,{"type":"City","name":"X"},{"type":"settlement","name":"S"}])"),
              QStringLiteral(", S"));
    EXPECT_EQ(CityOf("[]"), QStringLiteral(", "));
    const CardPage noDivisions =
        CardPageReader(QStringLiteral(",")).Read(PageWithProfileData(R"({"id":"5"})"));
    EXPECT_EQ(noDivisions.Profile.City, QStringLiteral(", "));
}

TEST_F(CardPageReaderTest, AddressFallsBackToAddressNameAndRatingFollowsTheSeparator) {
    StandInCard card = Card();
    card.geometryName.clear();
    EXPECT_EQ(Read(card).Profile.Address, QStringLiteral("ул. Тверская, 1"));
    EXPECT_EQ(Read(card, QStringLiteral(".")).Profile.Rating, QStringLiteral("4.7"));
    card.generalRating = QStringLiteral("5.0");  // a currency value: its text ends in the point
    EXPECT_EQ(Read(card).Profile.Rating, QStringLiteral("5,"));
}

TEST_F(CardPageReaderTest, MissingMembersLeaveTheirFieldsEmpty) {
    StandInCard card = Card();
    card.hasNameEx = false;
    const CardPage page = Read(card);
    EXPECT_TRUE(page.Profile.FirmName.isEmpty());
    EXPECT_EQ(page.Profile.City, QStringLiteral("Москва"));

    const CardPage bare = CardPageReader(QStringLiteral(",")).Read(PageWithProfileData("{}"));
    EXPECT_TRUE(bare.Profile.Rating.isEmpty());
    EXPECT_TRUE(bare.Profile.RatingCount.isEmpty());
    EXPECT_TRUE(bare.Profile.Address.isEmpty());
}

TEST_F(CardPageReaderTest, HalvesBackslashPairsFromLeftToRight) {
    // Four backslashes in the script string become two, which the JSON string reads as one.
    const QString page = QStringLiteral(
        R"S("entity":{"profile":{"5" var initialState = JSON.parse('{"data":{"entity":{"profile":)S"
        R"S({"5":{"data":{"name_ex":{"primary":"a\\\\b\\\\\\"c"}}}}}}}');y={};)S");
    EXPECT_EQ(CardPageReader(QStringLiteral(",")).Read(page).Profile.FirmName,
              QStringLiteral("a\\b\\\"c"));
}

}  // namespace
}  // namespace quillorn
