// The result table when its file cannot grow: a file-size limit makes the writes fail for real, as
// a full disk does. Windows has no such limit; the full disk of a whole run is tested there on a
// small file system of its own.
#include "output/ResultTable.h"

#include "tests/output/ResultTableFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using test::FileSizeLimit;
using test::kMark;
using test::kProfileCells;
using test::ResultTableTest;

TEST_F(ResultTableTest, ReviewsOfARowThatCannotBeWrittenAreTakenBack) {
    TrackedRun run(*this);
    run.Start(false);
    run.table.BeginCard();
    run.Take("kept");
    run.table.EndCard(profile, true);
    run.table.BeginCard();
    run.Take("a");
    run.Take("b");
    {
        FileSizeLimit full(static_cast<rlim_t>(Data().size()));
        // The next attempt at the card writes its pending row first.
        EXPECT_THROW(run.table.BeginCard(), OutputFailure);
    }
    EXPECT_EQ(run.store.Ids(), QStringList{"kept"});
    EXPECT_EQ(Read("IdsDB.dat"), "kept\r\n");
    // The journal records takes, also those whose row was lost.
    EXPECT_EQ(Read("IdDates.dat").count("\r\n"), 3);
    EXPECT_NO_THROW(run.table.Close());
    EXPECT_EQ(run.table.RowCount(), 1);
}

TEST_F(ResultTableTest, FullDiskRaisesOutputFailureAndLeavesNoPartialRow) {
    table.Open(true);
    table.BeginCard();
    table.AddReview(profile, Review("fits"));
    const QByteArray before = Data();
    {
        FileSizeLimit limit(static_cast<rlim_t>(before.size() + 40));
        try {
            table.AddReview(profile, Review(QString(500, 'x')));
            FAIL() << "no failure";
        } catch (const OutputFailure& failure) {
            EXPECT_EQ(failure.Message(),
                      "Cannot write file \"" + table.FilePath() + "\". File too large");
        }
    }
    EXPECT_EQ(Data(), before);
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_NO_THROW(table.Close());
}

}  // namespace
}  // namespace quillorn
