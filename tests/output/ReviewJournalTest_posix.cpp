// The journal when its file cannot grow (a file-size limit; Windows has none).
#include "output/ReviewJournal.h"

#include "tests/output/ReviewJournalFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using test::FileSizeLimit;
using test::ReviewJournalTest;

TEST_F(ReviewJournalTest, FullDeviceFailsTheAppendAndTheReviewIsNotTaken) {
    journal.Open();
    store.Load();
    try {
        const test::FileSizeLimit full(0);  // a device in its place is refused at the open
        AcceptReview("R-2", store, journal, log);
        FAIL() << "no failure";
    } catch (const OutputFailure& failure) {
        EXPECT_EQ(failure.Message(),
                  "Cannot write file \"" + journal.FilePath() + "\". File too large");
    }
    EXPECT_FALSE(store.Contains("R-2"));
    EXPECT_EQ(store.Count(), 0);
}

}  // namespace
}  // namespace quillorn
