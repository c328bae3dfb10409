// A review whose row cannot be written (a file-size limit; Windows has none).
#include "harvest/ReviewFeedReader.h"

#include "tests/harvest/ReviewFeedReaderFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using standin::StandInCard;
using standin::StandInDirectory;
using standin::StandInReview;
using test::CardWithReviews;
using test::ReviewFeedReaderTest;

TEST_F(ReviewFeedReaderTest, ReviewWhoseRowCannotBeWrittenStaysOnOffer) {
    directory.AddCard(CardWithReviews(QStringLiteral("6"), 2));
    const qint64 written = QFileInfo(table.FilePath()).size();
    {
        test::FileSizeLimit full(static_cast<rlim_t>(written));
        EXPECT_THROW(Read(QStringLiteral("6")), OutputFailure);
    }
    // The failure ends the run; the review it was writing must not count as delivered.
    EXPECT_FALSE(store.Contains(QStringLiteral("r6-0")));
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(QFileInfo(store.FilePath()).size(), 0);
}

}  // namespace
}  // namespace quillorn
