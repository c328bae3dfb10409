#include "output/ReviewJournal.h"

#include "tests/output/ReviewJournalFixture.h"
#include "tests/support/MissingFolderText.h"

namespace quillorn {
namespace {

using test::ReviewJournalTest;

TEST_F(ReviewJournalTest, EachLineIsInTheFileWhenAppendReturns) {
    journal.Open();
    journal.Append("r1");
    EXPECT_EQ(Journal(), "r1\t05.03.2024 14:07:09\r\n");
    locale.SetNow(QDateTime(QDate(2024, 3, 6), QTime(0, 0)));
    journal.Append("ёж✓");
    EXPECT_EQ(Journal(), "r1\t05.03.2024 14:07:09\r\n\xB8\xE6?\t06.03.2024\r\n");
    journal.Close();
}

TEST_F(ReviewJournalTest, ExistingJournalIsContinuedEvenWithoutAFinalLineBreak) {
    Write("IdDates.dat", "old\t01.01.2020 1:02:03");
    journal.Open();
    journal.Append("new");
    journal.Close();
    EXPECT_EQ(Journal(), "old\t01.01.2020 1:02:03new\t05.03.2024 14:07:09\r\n");
}

TEST_F(ReviewJournalTest, SecondWriterIsRefusedWhileReadersAreNot) {
    journal.Open();
    journal.Append("x");
    ReviewJournal second(locale, dir);
    try {
        second.Open();
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot open file \"" + journal.FilePath() +
                                         "\". The file is being written by another program.");
    }
    EXPECT_EQ(Journal(), "x\t05.03.2024 14:07:09\r\n");
    journal.Close();
    EXPECT_NO_THROW(second.Open());
}

TEST_F(ReviewJournalTest, JournalThatCannotBeCreatedFailsWithCannotCreate) {
    ReviewJournal elsewhere(locale, AppDir(tmp.path() + "/missing"));
    try {
        elsewhere.Open();
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot create file \"" + elsewhere.FilePath() + "\". " +
                                         test::MissingFolderText());
    }
}

TEST_F(ReviewJournalTest, AcceptReviewTakesANewIdOnceAndSkipsItAfterwards) {
    journal.Open();
    store.Load();
    EXPECT_TRUE(AcceptReview("R-1", store, journal, log));
    EXPECT_FALSE(AcceptReview("R-1", store, journal, log));
    EXPECT_FALSE(AcceptReview("r-1", store, journal, log));
    EXPECT_TRUE(store.Contains("R-1"));
    EXPECT_EQ(Journal(), "R-1\t05.03.2024 14:07:09\r\n");
    EXPECT_EQ(sink.Lines(), (QStringList{Stamp() + ": пропускаем отзыв R-1, он выгружен ранее",
                                         Stamp() + ": пропускаем отзыв r-1, он выгружен ранее"}));
}

}  // namespace
}  // namespace quillorn
