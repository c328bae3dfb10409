// The store when its file cannot grow (a file-size limit; Windows has none).
#include "output/SeenReviewStore.h"

#include "tests/output/SeenReviewStoreFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using test::FileSizeLimit;
using test::SeenReviewStoreTest;

TEST_F(SeenReviewStoreTest, IdsThatCannotBeRecordedAreNotInTheFileNorSaved) {
    Write("IdsDB.dat", "1\r\n");
    store.Load();
    {
        FileSizeLimit full(8);
        store.Record({"2"});
        EXPECT_THROW(store.Record({"33", "44"}), OutputFailure);
    }
    EXPECT_EQ(Stored(), "1\r\n2\r\n");  // no part of the failed write
    store.Save();
    EXPECT_EQ(Stored(), "1\r\n2\r\n");
}

TEST_F(SeenReviewStoreTest, FailedSaveLeavesThePreviousFileWhole) {
    Write("IdsDB.dat", "1\r\n2\r\n");
    store.Load();
    store.Record({"review-1", "review-0"});
    {
        FileSizeLimit limit(16);
        try {
            store.Save();
            FAIL() << "no failure";
        } catch (const OutputFailure& failure) {
            EXPECT_EQ(failure.Message(),
                      "Cannot write file \"" + store.FilePath() + "\". File too large");
        }
    }
    EXPECT_EQ(Stored(), "1\r\n2\r\nreview-1\r\nreview-0\r\n");
    EXPECT_EQ(Files(), QStringList{"IdsDB.dat"});
}

}  // namespace
}  // namespace quillorn
