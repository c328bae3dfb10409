// Whole runs seen from the files they leave: the workbook under the users' locale, and a store that
// cannot be compacted.
#include "tests/harvest/HarvestRunFixture.h"
#include "tests/support/ProcessLocale.h"
#include "tests/support/XlsxReader.h"

namespace quillorn {
namespace {

class HarvestRunOutputTest : public test::HarvestRunFixture {};

TEST_F(HarvestRunOutputTest, WorkbookOfARunUnderADecimalCommaLocaleCarriesPoints) {
    test::ProcessLocale russian("ru_RU.UTF-8");
    ASSERT_TRUE(russian.Active()) << "ru_RU.UTF-8 is not installed (scripts/setup.sh makes it)";
    ASSERT_EQ(test::ProcessLocale::DecimalPoint(), ",");
    host.cardLines = {directory.AddCard(test::ManyReviewsCard(QStringLiteral("701"), 2))};

    run.Run();

    ASSERT_EQ(opener.opened.size(), 1) << sink.Lines().join('\n').toStdString();
    const test::XlsxSheet sheet = test::ReadXlsxFirstSheet(opener.opened.front());
    ASSERT_EQ(sheet.rows.size(), 3);
    EXPECT_EQ(sheet.Cell(1, 4)->number, 4.7);  // " 4,7" in the result file
    EXPECT_EQ(sheet.Cell(2, 12)->number, 5);
    EXPECT_GT(sheet.columnWidths.value(1), 8.43);
    EXPECT_EQ(sheet.pageMargins.value("left"), 0.7);
    EXPECT_FALSE(run.Failed());
}

TEST_F(HarvestRunOutputTest, AWorkbookThatCannotBeMadeFailsTheRun) {
    host.cardLines = {directory.AddCard(test::ManyReviewsCard(QStringLiteral("701"), 2))};
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("Запускаем формирование"))) {
            ASSERT_TRUE(QDir(tmp.path()).mkdir(QFileInfo(ResultName()).baseName() + ".xlsx"));
        }
    };

    run.Run();

    EXPECT_TRUE(run.Failed());
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_EQ(DataRows().size(), 2);
}

TEST_F(HarvestRunOutputTest, AStoreThatCannotBeCompactedStillHoldsEveryDeliveredReview) {
    host.cardLines = {directory.AddCard(test::ManyReviewsCard(QStringLiteral("705"), 60))};
    const QString away = tmp.path() + QStringLiteral(".away");
    host.onEnable = [&] { ASSERT_TRUE(QDir().rename(tmp.path(), away)); };
    EXPECT_THROW(run.Run(), OutputFailure);
    ASSERT_TRUE(QDir().rename(away, tmp.path()));
    QFile::remove(Path(ResultName()));

    host.onEnable = nullptr;
    host.noReviewsNoWrites = true;
    clock.Advance(1000);
    run.Run();
    EXPECT_EQ(DataRows().size(), 0);
    EXPECT_EQ(sink.Lines().filter(QStringLiteral("пропускаем отзыв")).size(), 60);
}

}  // namespace
}  // namespace quillorn
