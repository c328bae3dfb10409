// The card page fuzz target's saved inputs, replayed in the ordinary test run through the target's
// own check: the pages kept there read as a real card would, and any page a fuzzer run ever saved
// stays a regression test.
#include <gtest/gtest.h>

#include "fuzz/CardPageHarness.h"
#include "fuzz/SeedCorpus.h"

namespace quillorn {
namespace {

const QString kTarget = QStringLiteral("card_page_fuzzer");

TEST(CardPageCorpusReplayTest, SavedCardPageReadsItsProfile) {
    const CardPage card = fuzz::ReadCardPage(fuzz::Seed(kTarget, QStringLiteral("card")));
    EXPECT_EQ(card.ReviewApiKey, "k1");
    EXPECT_EQ(card.Profile.BranchId, "70000001");
    EXPECT_EQ(card.Profile.FirmName, QString::fromUtf8("Кафе \"Уют\" и 'Ко'"));
    EXPECT_EQ(card.Profile.City, QString::fromUtf8("Ростов"));
    EXPECT_EQ(card.Profile.Rating, "4,7");
}

TEST(CardPageCorpusReplayTest, EverySavedInputReadsOrFailsCleanly) {
    const QStringList names = fuzz::SeedNames(kTarget);
    ASSERT_GE(names.size(), 2);
    for (const QString& name : names)
        EXPECT_EQ(fuzz::CheckCardPage(fuzz::Seed(kTarget, name)), QString()) << name.toStdString();
}

}  // namespace
}  // namespace quillorn
