// The IdsDB.dat fuzz target's saved inputs, replayed in the ordinary test run under the pinned
// comparison (with either code page) and the system's collation: every id loaded or taken is there
// again after a save. And those of the IdsDB.pending target: a record settles within the torn row.
#include <gtest/gtest.h>

#include "fuzz/RowInFlightHarness.h"
#include "fuzz/SeedCorpus.h"
#include "fuzz/SeenStoreHarness.h"
#include "platform/LocaleServices.h"
#include "standin/PinnedLocale.h"

namespace quillorn {
namespace {

TEST(SeenStoreCorpusTest, EverySavedInputLoadsBackAfterASave) {
    const standin::PinnedLocale pinned;
    standin::PinnedLocale pinnedUtf8;
    pinnedUtf8.SetCodePage(TextEncoding::Utf8);
    const SystemLocale system;
    const QStringList names = fuzz::SeedNames(QStringLiteral("seen_store_fuzzer"));
    ASSERT_GE(names.size(), 4);
    for (const QString& name : names) {
        const QByteArray seed = fuzz::Seed(QStringLiteral("seen_store_fuzzer"), name);
        EXPECT_EQ(fuzz::CheckSeenStore(seed, pinned), QString()) << name.toStdString();
        EXPECT_EQ(fuzz::CheckSeenStore(seed, pinnedUtf8), QString()) << name.toStdString();
        EXPECT_EQ(fuzz::CheckSeenStore(seed, system), QString()) << name.toStdString();
    }
}

TEST(RowInFlightCorpusTest, EverySavedRecordSettlesWithinTheTornRow) {
    const QStringList names = fuzz::SeedNames(QStringLiteral("row_in_flight_fuzzer"));
    ASSERT_GE(names.size(), 3);
    for (const QString& name : names) {
        const QByteArray seed = fuzz::Seed(QStringLiteral("row_in_flight_fuzzer"), name);
        EXPECT_EQ(fuzz::CheckRowInFlight(seed), QString()) << name.toStdString();
    }
}

}  // namespace
}  // namespace quillorn
