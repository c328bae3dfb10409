#include "output/WorkbookStep.h"

#include "tests/output/WorkbookStepFixture.h"

namespace quillorn {
namespace {

using test::MissingSpreadsheet;
using test::RecordingOpener;
using test::WorkbookStepTest;

TEST_F(WorkbookStepTest, MakesTheWorkbookBesideTheResultFileAndOpensIt) {
    WriteTable(3);
    ASSERT_TRUE(step.Due(table));
    QByteArray resultBefore = Read(QStringLiteral("data1234.tab"));

    step.Run(table);

    const QString path = dir.FilePath(QStringLiteral("data1234.xlsx"));
    EXPECT_EQ(Messages(), QStringList({": Запускаем формирование файла Excel...",
                                       ": Файл сформирован, в нем 4 строк",
                                       ": Открываем файл с результатами " + path}));
    EXPECT_TRUE(sink.Lines().front().startsWith(Stamp()));
    EXPECT_EQ(opener.opened, QStringList{path});
    EXPECT_EQ(Read(QStringLiteral("data1234.tab")), resultBefore);

    test::XlsxSheet sheet = test::ReadXlsxFirstSheet(path);
    EXPECT_EQ(sheet.name, "data1234");
    ASSERT_EQ(sheet.rows.size(), 4);
    EXPECT_EQ(sheet.CellText(0, 0), "ID Организации");
    EXPECT_EQ(sheet.CellText(1, 0), "70000001012345678");
    EXPECT_EQ(sheet.CellText(1, 1), "Кафе \"Уют\"");
    EXPECT_EQ(sheet.Cell(1, 4)->number, 4.5);
    EXPECT_EQ(sheet.CellText(2, 6), "Анонимный отзыв");
    // The result file keeps its escapes; the workbook shows the line break.
    EXPECT_EQ(sheet.CellText(3, 9), "Отзыв 2\nс переносом 👍");
    EXPECT_TRUE(sheet.Cell(3, 9)->wrap);
    EXPECT_EQ(test::XlsxSerialToDate(sheet.Cell(3, 11)->number), "12.05.2023");
    EXPECT_EQ(sheet.CellText(3, 15), "https://2gis.ru/firm/70000001012345678");
    EXPECT_EQ(sheet.Cell(3, 15)->link, "https://2gis.ru/firm/70000001012345678");
}

TEST_F(WorkbookStepTest, TabsAndLineBreaksInTheFirmsTextsKeepItsRowsWhole) {
    profile.FirmName = QStringLiteral("Кафе\t\"Уют\"");
    profile.City = QStringLiteral("Новосибирск\r\n");
    profile.Address = QStringLiteral("Ленина,\n1\r");
    WriteTable(2);
    step.Run(table);

    test::XlsxSheet sheet = test::ReadXlsxFirstSheet(dir.FilePath("data1234.xlsx"));
    ASSERT_EQ(sheet.rows.size(), 3);
    for (int row : {1, 2}) {
        EXPECT_EQ(sheet.CellText(row, 1), "Кафе\t\"Уют\"");  // quotes stay as they are
        EXPECT_EQ(sheet.CellText(row, 2), "Новосибирск\n");
        EXPECT_EQ(sheet.CellText(row, 3), "Ленина,\n1\n");
        EXPECT_EQ(sheet.Cell(row, 4)->number, 4.5);
        EXPECT_EQ(sheet.CellText(row, 15), "https://2gis.ru/firm/70000001012345678");
    }
}

TEST_F(WorkbookStepTest, PerCardTableGivesOneRowPerCard) {
    WriteTable(5, false);
    step.Run(table);

    EXPECT_EQ(Messages().at(1), ": Файл сформирован, в нем 2 строк");
    test::XlsxSheet sheet = test::ReadXlsxFirstSheet(dir.FilePath("data1234.xlsx"));
    ASSERT_EQ(sheet.rows.size(), 2);
    EXPECT_EQ(sheet.rows[1].size(), 12);
    EXPECT_EQ(sheet.CellText(1, 11), "Отзыв 4\nс переносом 👍");
}

TEST_F(WorkbookStepTest, TickPastTwoToTheThirtyOneKeepsTheMinusSign) {
    clock.Set(0x80000005u);
    WriteTable(1);
    step.Run(table);

    const QString path = dir.FilePath(QStringLiteral("data-2147483643.xlsx"));
    EXPECT_EQ(Messages().last(), ": Открываем файл с результатами " + path);
    EXPECT_EQ(opener.opened, QStringList{path});
    EXPECT_EQ(test::ReadXlsxFirstSheet(path).name, "data-2147483643");
}

TEST_F(WorkbookStepTest, NotDueWithoutDataRowsOrWithoutAWriter) {
    WriteTable(0);
    EXPECT_FALSE(step.Due(table));

    WriteTable(1);
    MissingSpreadsheet missing;
    WorkbookStep without{log, missing, opener};
    EXPECT_FALSE(without.Due(table));
    EXPECT_TRUE(sink.Lines().isEmpty());
    EXPECT_TRUE(Files().filter(".xlsx").isEmpty());
}

TEST_F(WorkbookStepTest, OccupiedWorkbookNameIsAFailureNotAReplacement) {
    WriteTable(2);
    ASSERT_TRUE(QDir(tmp.path()).mkdir("data1234.xlsx"));

    step.Run(table);

    EXPECT_EQ(Messages().last(), ": Ошибка: Cannot create file \"" + dir.FilePath("data1234.xlsx") +
                                     "\". The file already exists");
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(WorkbookStepTest, UnreadableResultFileEndsTheStepAfterItsFirstLine) {
    WriteTable(2);
    ASSERT_TRUE(QFile::remove(table.FilePath()));

    step.Run(table);

    QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], ": Запускаем формирование файла Excel...");
    EXPECT_TRUE(messages[1].startsWith(": Ошибка: Cannot open file \"" + table.FilePath()));
    EXPECT_TRUE(opener.opened.isEmpty());
}

}  // namespace
}  // namespace quillorn
