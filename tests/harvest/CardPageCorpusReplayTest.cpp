// Replays the card page fuzzer's saved seeds in the ordinary test run: the pages kept there read
// as a real card would, and any page a fuzzer run ever saved stays a regression test.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "harvest/CardPageReader.h"
#include "platform/Errors.h"

namespace quillorn {
namespace {

class CardPageCorpusReplayTest : public ::testing::Test {
protected:
    static QString Seed(const QString& name) {
        QFile file(QStringLiteral(QUILLORN_SOURCE_DIR "/fuzz/corpus/card_page_fuzzer/") + name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return QString::fromUtf8(file.readAll());
    }
    CardPageReader reader{QStringLiteral(",")};
};

TEST_F(CardPageCorpusReplayTest, SavedCardPageReadsItsProfile) {
    const CardPage card = reader.Read(Seed(QStringLiteral("card")));
    EXPECT_EQ(card.ReviewApiKey, "k1");
    EXPECT_EQ(card.Profile.BranchId, "70000001");
    EXPECT_EQ(card.Profile.FirmName, QString::fromUtf8("Кафе \"Уют\" и 'Ко'"));
    EXPECT_EQ(card.Profile.City, QString::fromUtf8("Ростов"));
    EXPECT_EQ(card.Profile.Rating, "4,7");
}

TEST_F(CardPageCorpusReplayTest, EverySavedSeedReadsOrFailsCleanly) {
    const QDir corpus(QStringLiteral(QUILLORN_SOURCE_DIR "/fuzz/corpus/card_page_fuzzer"));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_GE(seeds.size(), 2);
    for (const QString& name : seeds) {
        try {
            EXPECT_FALSE(reader.Read(Seed(name)).Profile.BranchId.isEmpty()) << name.toStdString();
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Message(), "Broken") << name.toStdString();
        }
    }
}

}  // namespace
}  // namespace quillorn
