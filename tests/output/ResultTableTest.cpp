#include "output/ResultTable.h"

#include "tests/output/ResultTableFixture.h"
#include "tests/support/MissingFolderText.h"

namespace quillorn {
namespace {

using test::kMark;
using test::kProfileCells;
using test::ResultTableTest;

TEST_F(ResultTableTest, EmptyRunLeavesMarkAndHeaderAndLogsThePathFirst) {
    table.Open(true);
    EXPECT_EQ(table.FilePath(), dir.FilePath("data1234.tab"));
    EXPECT_EQ(table.WorkbookName(), "data1234.xlsx");
    EXPECT_EQ(sink.Lines(),
              QStringList{Stamp() + ": Данные будут записываться в файл " + table.FilePath()});
    table.Close();
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(Data(), kMark + Line(ResultTable::VerticalHeader()));
    EXPECT_EQ(ResultTable::VerticalHeader().count('\t'), 15);

    clock.Advance(1);
    table.Open(false);
    table.Close();
    EXPECT_EQ(Read("data1235.tab"), kMark + Line(ResultTable::PerCardHeader()));
}

TEST_F(ResultTableTest, VerticalRowEscapesTextAndIsOnDiskWhenAddReviewReturns) {
    table.Open(true);
    table.BeginCard();
    ReviewRecord r = Review(QStringLiteral("Было \"вкусно\"\r\nи\tдёшево & быстро"));
    r.OfficialAnswer = QStringLiteral("Спасибо!\nЖдём & \"снова\"");
    r.AuthorName = QStringLiteral("Анна\tК.\r\n");  // no cell may split the row
    table.AddReview(profile, r);
    const QByteArray expected =
        kMark + Line(ResultTable::VerticalHeader()) +
        Line(kProfileCells +
             "\t\"Анна&#9;К.&#13;&#10;\"\t\"7\"\t\"https://2gis.ru/user/42\""
             "\t\"Было 'вкусно'&#13;&#10;и&#9;дёшево & быстро\""
             "\t\"2023-05-17T10:20:30+03:00\"\t\"17.05.2023\"\t\" 5\"\t\"2\""
             "\t\"Спасибо!&#10;Ждём & 'снова'\"\t\"https://2gis.ru/firm/'1'\"");
    EXPECT_EQ(Data(), expected);  // before EndCard and Close
    table.EndCard(profile, true);
    table.Close();
    EXPECT_EQ(Data(), expected);
    EXPECT_EQ(table.RowCount(), 1);
}

TEST_F(ResultTableTest, AuthorCellsAndSecondDateAsFarAsTheDateReaches) {
    table.Open(true);
    table.BeginCard();
    ReviewRecord anonymous = Review("a");
    anonymous.HasAuthor = false;
    anonymous.DateCreated.clear();
    ReviewRecord emptyAuthor = Review("b");
    emptyAuthor.AuthorName.clear();
    emptyAuthor.AuthorReviewCount.clear();
    emptyAuthor.AuthorProfileUrl.clear();
    emptyAuthor.DateCreated = QStringLiteral("2023-05");
    table.AddReview(profile, anonymous);
    table.AddReview(profile, emptyAuthor);
    table.Close();

    const QList<QByteArray> rows = Data().split('\n');
    ASSERT_EQ(rows.size(), 4);
    const QList<QByteArray> first = rows[1].chopped(1).split('\t');
    const QList<QByteArray> second = rows[2].chopped(1).split('\t');
    ASSERT_EQ(first.size(), 16);
    EXPECT_EQ(first[6], QStringLiteral("\"Анонимный отзыв\"").toUtf8());
    EXPECT_EQ(first[7], "\"\"");
    EXPECT_EQ(first[8], "\"\"");
    EXPECT_EQ(first[10], "\"\"");
    EXPECT_EQ(first[11], "\"..\"");
    EXPECT_EQ(first[14], "\"\"");
    EXPECT_EQ(second.mid(6, 3), (QList<QByteArray>{"\"\"", "\"\"", "\"\""}));
    EXPECT_EQ(second[11], "\".05.2023\"");
    EXPECT_EQ(table.RowCount(), 2);
}

TEST_F(ResultTableTest, EachCardsRowsCarryThatCardsProfile) {
    table.Open(true);
    CardProfile other = profile;
    other.CardUrl = QStringLiteral("https://2gis.ru/firm/2");
    CardProfile third = other;
    third.FirmName = QStringLiteral("Бар");
    ReviewRecord lone = Review(QString(QChar(0xD800)) + QStringLiteral("😀"));
    for (const CardProfile* card : {&profile, &other, &third}) {
        table.BeginCard();
        table.AddReview(*card, lone);
        table.EndCard(*card, true);
    }
    table.Close();
    const QList<QByteArray> rows = Data().split('\n');
    ASSERT_EQ(rows.size(), 5);
    EXPECT_TRUE(rows[1].contains("\"https://2gis.ru/firm/'1'\"\r"));
    EXPECT_TRUE(rows[2].contains("\"https://2gis.ru/firm/2\"\r"));
    EXPECT_TRUE(rows[2].contains(QStringLiteral("\"Кафе \"Уют\"\"").toUtf8()));
    EXPECT_TRUE(rows[3].contains(QStringLiteral("\"Бар\"").toUtf8()));
    EXPECT_TRUE(rows[3].contains("\t\"?\xF0\x9F\x98\x80\"\t"));
}

TEST_F(ResultTableTest, CardWithoutNewReviewsGetsItsRowUnlessTheUserDeclines) {
    table.Open(true);
    table.BeginCard();
    table.EndCard(profile, true);
    EXPECT_EQ(table.RowCount(), 0);
    table.BeginCard();
    table.EndCard(profile, false);
    table.Close();
    EXPECT_EQ(Data(), kMark + Line(ResultTable::VerticalHeader()) +
                          Line(QString(kProfileCells).replace("\"120\"", "\" 120\"") +
                               QString("\t\"\"").repeated(9) + "\t\"https://2gis.ru/firm/'1'\""));
    EXPECT_EQ(table.RowCount(), 1);

    clock.Advance(1);
    table.Open(false);
    table.BeginCard();
    table.EndCard(profile, false);
    table.Close();
    EXPECT_EQ(Read("data1235.tab"), kMark + Line(ResultTable::PerCardHeader()) +
                                        Line(kProfileCells + "\t\"https://2gis.ru/firm/'1'\""));
}

TEST_F(ResultTableTest, PerCardRowGrowsOneCellPerReviewAndIsWrittenAtEndCard) {
    table.Open(false);
    table.BeginCard();
    for (int i = 1; i <= 5; ++i)
        table.AddReview(profile, Review(QString("r%1\t\"x\"").arg(i)));
    const QByteArray header = kMark + Line(ResultTable::PerCardHeader());
    EXPECT_EQ(Data(), header);
    table.EndCard(profile, true);
    const QByteArray row = Line(kProfileCells +
                                "\t\"https://2gis.ru/firm/'1'\"\t\"r1&#9;'x'\"\t\"r2&#9;'x'\""
                                "\t\"r3&#9;'x'\"\t\"r4&#9;'x'\"\t\"r5&#9;'x'\"");
    EXPECT_EQ(Data(), header + row);
    EXPECT_EQ(row.count('\t') + 1, 12);
    EXPECT_EQ(table.RowCount(), 1);
    table.Close();
    EXPECT_EQ(Data(), header + row);
}

TEST_F(ResultTableTest, PerCardRowHoldingTakenReviewsIsWrittenOnRetryAndOnClose) {
    table.Open(false);
    table.BeginCard();
    table.AddReview(profile, Review("first"));
    table.BeginCard();  // the attempt failed and starts again
    table.AddReview(profile, Review("second"));
    table.Close();  // the run stopped inside the card
    const QByteArray urlCell = "\t\"https://2gis.ru/firm/'1'\"";
    EXPECT_EQ(Data(), kMark + Line(ResultTable::PerCardHeader()) +
                          Line(kProfileCells + urlCell + "\t\"first\"") +
                          Line(kProfileCells + urlCell + "\t\"second\""));
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_FALSE(table.WritePendingRow());
}

TEST_F(ResultTableTest, NamesPastTwoToTheThirtyOneHaveAMinusSignAndNeverReplaceAFile) {
    clock.Set(0x80000005u);
    Write("data-2147483643.tab", "older run");
    Write("data-2147483642.xlsx", "older workbook");
    table.Open(true);
    table.Close();
    EXPECT_EQ(table.FilePath(), dir.FilePath("data-2147483641.tab"));
    EXPECT_EQ(table.WorkbookName(), "data-2147483641.xlsx");
    EXPECT_EQ(Read("data-2147483643.tab"), "older run");
}

TEST_F(ResultTableTest, FileThatCannotBeCreatedFailsAfterTheLineNamingIt) {
    ResultTable elsewhere(log, clock, AppDir(tmp.path() + "/missing"));
    try {
        elsewhere.Open(true);
        FAIL() << "no failure";
    } catch (const OutputFailure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot create file \"" + elsewhere.FilePath() + "\". " +
                                         test::MissingFolderText());
    }
    EXPECT_EQ(sink.Lines().size(), 1);
    EXPECT_FALSE(elsewhere.IsOpen());
    EXPECT_EQ(elsewhere.RowCount(), 0);
    EXPECT_NO_THROW(elsewhere.Close());
}

TEST_F(ResultTableTest, OpenFileIsRefusedToASecondWriterButReadable) {
    table.Open(true);
    LockedFile second;
    EXPECT_FALSE(second.Open(table.FilePath(), LockedFile::Mode::OpenOrAppend));
    EXPECT_TRUE(Data().startsWith(kMark));
    table.Close();
    EXPECT_TRUE(second.Open(table.FilePath(), LockedFile::Mode::OpenOrAppend));
}

// A run ended without its clean-up (a kill, a power cut), as the next run finds it.
class InterruptedRowTest : public ResultTableTest {
protected:
    // A run that writes one vertical row per id and ends there: nothing is closed or saved.
    void RunEndingAfterRows(const QStringList& ids) {
        TrackedRun run(*this);
        run.Start(true);
        for (const QString& id : ids)
            run.Take(id);
    }

    // What the next run remembers once it has started.
    QStringList NextRunRemembers() {
        SeenReviewStore store(locale, log, dir);
        TakenReviews taken(store, dir);
        store.Load();
        taken.SettleInterruptedRow();
        return store.Ids();
    }
};

TEST_F(InterruptedRowTest, RowWholeInItsFileIsRememberedWhenItsIdsWereNot) {
    RunEndingAfterRows({"a", "b"});
    const QByteArray rows = Data();
    Write("IdsDB.dat", "a\r\n");  // the run ended between b's row and its id
    // A record cut while it was appended tells of a row never started: the one before it counts.
    Write("IdsDB.pending", Read("IdsDB.pending") + "data1234.tab\t9");
    EXPECT_EQ(NextRunRemembers(), (QStringList{"a", "b"}));
    EXPECT_EQ(Read("IdsDB.dat"), "a\r\nb\r\n");
    // Settled once: a later start adds nothing.
    EXPECT_EQ(NextRunRemembers(), (QStringList{"a", "b"}));
    EXPECT_EQ(Read("IdsDB.dat"), "a\r\nb\r\n");
    EXPECT_EQ(Data(), rows);
}

TEST_F(InterruptedRowTest, TornRowIsCutOffAndItsReviewComesAgain) {
    RunEndingAfterRows({"a", "b"});
    const QByteArray rows = Data();
    const qsizetype lastRow = rows.lastIndexOf("\r\n", rows.size() - 3) + 2;
    const QByteArray torn = rows.left(rows.size() - 10);
    const QByteArray record = Read("IdsDB.pending");
    Write("IdsDB.dat", "a\r\n");
    Write("data1234.tab", torn);
    {
        // Another program holds the file: it keeps its torn tail, and the run starts all the same.
        LockedFile spreadsheet;
        ASSERT_TRUE(spreadsheet.Open(Path("data1234.tab"), LockedFile::Mode::OpenOrAppend));
        EXPECT_EQ(NextRunRemembers(), QStringList{"a"});
        EXPECT_EQ(Data(), torn);
    }
    Write("IdsDB.pending", record);
    EXPECT_EQ(NextRunRemembers(), QStringList{"a"});
    EXPECT_EQ(Data(), rows.left(lastRow));
}

TEST_F(InterruptedRowTest, ResultFileWithoutItsWholeHeaderIsRemoved) {
    for (const qsizetype kept : {0, 5}) {
        RunEndingAfterRows({});
        Write("data1234.tab", Data().left(kept));
        EXPECT_TRUE(NextRunRemembers().isEmpty());
        EXPECT_TRUE(Files("data*").isEmpty()) << kept;
    }
}

TEST_F(InterruptedRowTest, FilesChangedSinceAreLeftAlone) {
    RunEndingAfterRows({"a"});
    const QByteArray rows = Data();
    const qsizetype lastRow = rows.lastIndexOf("\r\n", rows.size() - 3) + 2;
    Write("IdsDB.dat", "");
    QByteArray edited = rows;
    edited[rows.size() - 4] = 'x';
    Write("data1234.tab", edited);
    EXPECT_TRUE(NextRunRemembers().isEmpty());
    EXPECT_EQ(Data(), edited);

    QFile::remove(Path("data1234.tab"));
    RunEndingAfterRows({"a"});
    Write("IdsDB.dat", "");
    const QByteArray other = rows.left(lastRow) + "x\r\ny";  // shorter than the row, not torn
    Write("data1234.tab", other);
    EXPECT_TRUE(NextRunRemembers().isEmpty());
    EXPECT_EQ(Data(), other);

    // A record naming any other file changes nothing in it.
    Write("IdsDB.pending", "urls.txt\t0\t9\t00\ta\n");
    Write("urls.txt", "");
    EXPECT_TRUE(NextRunRemembers().isEmpty());
    EXPECT_TRUE(QFile::exists(Path("urls.txt")));
}

}  // namespace
}  // namespace quillorn
