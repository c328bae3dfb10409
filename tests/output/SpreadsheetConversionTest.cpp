#include "output/ResultTable.h"

#include "tests/output/SpreadsheetConversionFixture.h"

namespace quillorn {
namespace {

using test::Q;
using test::ReadXlsxFirstSheet;
using test::SpreadsheetConversionTest;
using test::VerticalLines;
using test::XlsxSheet;

TEST_F(SpreadsheetConversionTest, VerticalLayoutHoldsEveryFieldInPlace) {
    QStringList lines = VerticalLines();
    qint64 rows = 0;
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines), &rows));

    EXPECT_EQ(rows, 4);
    ExpectSheetHolds(sheet, lines);
    EXPECT_EQ(sheet.CellText(1, 1), "ООО \"Ромашка\"");
    EXPECT_EQ(sheet.CellText(1, 9), "Отлично!\nВернусь\tещё 😀");
    EXPECT_FALSE(sheet.Cell(1, 14));  // no official answer: no cell
    EXPECT_EQ(sheet.rows[3].size(), 16);
}

TEST_F(SpreadsheetConversionTest, NumbersAndSecondDatesGetTheirTypesAndIdsStayText) {
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(VerticalLines())));

    EXPECT_FALSE(sheet.Cell(1, 0)->isNumber);  // a 17-digit branch id
    EXPECT_TRUE(sheet.Cell(3, 0)->isNumber);   // a 15-digit one is exact
    EXPECT_EQ(sheet.Cell(3, 0)->number, 141265769336620.0);
    EXPECT_EQ(sheet.Cell(3, 0)->numberFormat, "0");  // every digit shown, no exponent
    EXPECT_EQ(sheet.Cell(1, 5)->numberFormat, "");   // small numbers keep the general format
    EXPECT_EQ(sheet.Cell(1, 4)->number, 4.7);
    EXPECT_EQ(sheet.Cell(1, 12)->number, 5);
    EXPECT_EQ(sheet.Cell(3, 5)->number, 7);
    EXPECT_EQ(sheet.Cell(1, 13)->number, 0);

    const test::XlsxCell* date = sheet.Cell(1, 11);
    ASSERT_TRUE(date && date->isNumber);
    EXPECT_EQ(date->number, 45063);  // days since 30.12.1899
    EXPECT_EQ(date->numberFormat, "dd.mm.yyyy");
    EXPECT_FALSE(sheet.Cell(2, 11)->isNumber);  // ".." stays text
    EXPECT_FALSE(sheet.Cell(1, 10)->isNumber);  // the creation date as delivered
}

TEST_F(SpreadsheetConversionTest, HeaderIsBoldFrozenAndFilteredAndColumnsAreReadable) {
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(VerticalLines())));

    for (int c = 0; c < 16; ++c) {
        ASSERT_TRUE(sheet.Cell(0, c));
        EXPECT_TRUE(sheet.Cell(0, c)->bold) << c;
    }
    EXPECT_FALSE(sheet.Cell(1, 1)->bold);
    EXPECT_EQ(sheet.frozenTopLeft, "A2");
    EXPECT_EQ(sheet.autoFilter, "A1:P4");
    EXPECT_EQ(sheet.dimension, "A1:P4");
    ASSERT_EQ(sheet.columnWidths.size(), 16);
    EXPECT_GE(sheet.columnWidths[0], 17);     // fits the 17-digit id
    EXPECT_LE(sheet.columnWidths[9], 61);     // long texts do not make a column endless
    EXPECT_GE(sheet.columnWidths[12], 8.43);  // narrow columns keep the usual width
}

TEST_F(SpreadsheetConversionTest, EscapedLineBreaksAndTabsShowAsWhatTheyStandFor) {
    const QString wideLines = QString(30, u'а') + "&#13;&#10;" + QString(30, u'б');
    QStringList lines = {
        QStringLiteral("Текст отзыва\tГород\tОтвет организации"),
        QStringList{Q("Раз&#13;&#10;два&#13;&#10;&#13;&#10;три&#9;четыре"), Q("Омск&#13;&#10;"),
                    Q("&amp; &#11; &#x0A; &#1 &#10")}
            .join('\t'),
        QStringList{Q("Лишь&#13;возврат каретки&#10;&#13;"), Q("Омск"), Q("&#9;")}.join('\t'),
        QStringList{Q(wideLines), Q(""), Q("")}.join('\t'),
    };
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines)));

    ExpectSheetHolds(sheet, lines);
    EXPECT_EQ(sheet.CellText(1, 0), "Раз\nдва\n\nтри\tчетыре");      // CR LF is one line break
    EXPECT_EQ(sheet.CellText(1, 2), "&amp; &#11; &#x0A; &#1 &#10");  // no other sequence
    EXPECT_EQ(sheet.CellText(2, 0), "Лишь\nвозврат каретки\n\n");
    for (auto [row, col] : {std::pair{1, 0}, {1, 1}, {2, 0}, {3, 0}}) {
        EXPECT_TRUE(sheet.Cell(row, col)->wrap) << row << ", " << col;
    }
    for (auto [row, col] : {std::pair{0, 0}, {1, 2}, {2, 1}, {2, 2}}) {
        EXPECT_FALSE(sheet.Cell(row, col)->wrap) << row << ", " << col;  // a tab needs no wrap
    }
    // A wrapped text asks for the width of its widest line, not of all its lines in a row.
    EXPECT_GE(sheet.columnWidths[0], 32);
    EXPECT_LT(sheet.columnWidths[0], 34);
}

TEST_F(SpreadsheetConversionTest, WebAddressesInTheProfileAndCardColumnsAreLinks) {
    const QString longest = "https://2gis.ru/" + QString(2079 - 16, u'a');
    QStringList lines = {
        QStringLiteral("Профиль автора\tКарточка организации\tТекст отзыва"),
        QStringList{Q("https://2gis.ru/novosibirsk/user/abc"), Q("HTTP://2gis.ru/firm/1#отзывы"),
                    Q("https://2gis.ru/firm/1")}
            .join('\t'),
        // Addresses from a remote server that must not become links.
        QStringList{Q("file:///etc/passwd"), Q("javascript:alert(1)"), Q("https:///etc/passwd")}
            .join('\t'),
        QStringList{Q("https://2gis.ru/?to=external:c:/x.xlsx"), Q("https://2gis.ru/a b"),
                    Q("https://")}
            .join('\t'),
        QStringList{Q(longest), Q(longest + "a")}.join('\t'),
        QStringList{Q("https://2gis.ru/user&#10;x"), Q("https://2gis.ru/_x0041_")}.join('\t'),
    };
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines)));

    ExpectSheetHolds(sheet, lines);
    EXPECT_EQ(sheet.Cell(1, 0)->link, "https://2gis.ru/novosibirsk/user/abc");
    EXPECT_TRUE(sheet.Cell(1, 1)->link.startsWith("HTTP://2gis.ru/firm/1"));
    EXPECT_EQ(sheet.Cell(4, 0)->link, longest);
    for (int row = 1; row < lines.size(); ++row) {
        for (int col = 0; col < sheet.rows[row].size(); ++col) {
            bool linked = (row == 1 && col < 2) || (row == 4 && col == 0);
            EXPECT_EQ(!sheet.Cell(row, col)->link.isEmpty(), linked) << row << ", " << col;
        }
    }
}

TEST_F(SpreadsheetConversionTest, AddressesBeyondTheLinksASheetHoldsStayText) {
    QStringList lines = {QStringLiteral("Профиль автора\tКарточка организации")};
    for (int i = 0; i < 32766; ++i) {  // 65,532 addresses
        lines.append(Q(QStringLiteral("https://2gis.ru/user/%1").arg(i)) + '\t' +
                     Q("https://2gis.ru/firm/1"));
    }
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines)));

    int links = 0;
    for (const auto& row : sheet.rows) {
        for (const auto& cell : row) {
            links += cell && !cell->link.isEmpty();
        }
    }
    EXPECT_EQ(links, 65530);
    EXPECT_FALSE(sheet.Cell(32765, 1)->link.isEmpty());
    EXPECT_TRUE(sheet.Cell(32766, 0)->link.isEmpty());
    EXPECT_EQ(sheet.CellText(32766, 0), "https://2gis.ru/user/32765");
}

// The program's start takes the C library's locale from the environment; under a decimal comma
// the sheet must still spell its numbers, widths and margins with a point.
TEST_F(SpreadsheetConversionTest, SheetXmlIsTheSameUnderADecimalCommaLocale) {
    const QStringList lines = {
        ResultTable::PerCardHeader(),
        QStringList{Q("Кафе"), Q(" 4,6"), Q("-0,25"), Q("12345678901234")}.join('\t')};
    const QString resultPath = WriteResultFile(lines);
    QString workbook;
    {
        test::ProcessLocale russian("ru_RU.UTF-8");
        ASSERT_TRUE(russian.Active()) << "ru_RU.UTF-8 is not installed (scripts/setup.sh makes it)";
        ASSERT_EQ(test::ProcessLocale::DecimalPoint(), ",");
        workbook = Convert(resultPath);
        // Only this conversion's thread was switched, and only while it worked.
        EXPECT_EQ(test::ProcessLocale::DecimalPoint(), ",");
    }
    XlsxSheet sheet = ReadXlsxFirstSheet(workbook);

    ExpectSheetHolds(sheet, lines);
    EXPECT_EQ(sheet.Cell(1, 1)->number, 4.6);
    EXPECT_EQ(sheet.Cell(1, 2)->number, -0.25);
    ASSERT_EQ(sheet.columnWidths.size(), 7);
    EXPECT_GT(sheet.columnWidths[0], 8.43);  // the default width is no whole number either
    EXPECT_EQ(sheet.pageMargins.value("left"), 0.7);
    EXPECT_EQ(sheet.pageMargins.value("header"), 0.3);
}

TEST_F(SpreadsheetConversionTest, PerCardRowsKeepReviewCellsBeyondTheHeader) {
    QString profile =
        QStringList{
            Q("141265769336620"),       Q("Кафе"), Q("Омск"), Q("ул. Ленина"), Q(" 4,5"), Q("10"),
            Q("https://2gis.ru/firm/2")}
            .join('\t');
    QStringList lines = {
        ResultTable::PerCardHeader(),
        profile + '\t' +
            QStringList{Q("Первый"), Q("Второй 👍"), Q("5"), Q(""), Q("Пятый")}.join('\t'),
        profile};
    qint64 rows = 0;
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines), &rows));

    EXPECT_EQ(rows, 3);
    ExpectSheetHolds(sheet, lines);
    EXPECT_EQ(sheet.rows[1].size(), 12);
    EXPECT_EQ(sheet.rows[2].size(), 7);
    // The filter spans the review columns too, so sorting keeps every row's reviews with it.
    EXPECT_EQ(sheet.autoFilter, "A1:L3");
}

TEST_F(SpreadsheetConversionTest, UnusualTextsReadBackAsWritten) {
    QStringList lines = {
        QStringLiteral("a\tb\tc\td"),
        QStringList{Q("line\nbreak"), Q("_x0041_ and _x005F_"), Q("ctrl\x01\x1F"), Q("<&> \"'")}
            .join('\t'),
        QStringLiteral("unquoted\t\"\t\"\"\"\"\t\" lead"),
    };
    qint64 rows = 0;
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines), &rows));

    EXPECT_EQ(rows, 3);  // a lone line feed does not end a line
    ExpectSheetHolds(sheet, lines);
    EXPECT_EQ(sheet.CellText(1, 1), "_x0041_ and _x005F_");
    EXPECT_EQ(sheet.CellText(2, 1), "\"");  // one quote has nothing to enclose
    EXPECT_EQ(sheet.CellText(2, 2), "\"\"");
}

TEST_F(SpreadsheetConversionTest, TextBeyondACellsCapacityIsCutAtACharacterBoundary) {
    QString longText = QString(32766, QChar(u'я')) + QStringLiteral("😀😀");
    XlsxSheet sheet = ReadXlsxFirstSheet(
        Convert(WriteResultFile({QStringLiteral("h"), Q(longText) + '\t' + Q("next")})));

    EXPECT_EQ(sheet.CellText(1, 0), QString(32766, QChar(u'я')));  // no half emoji
    EXPECT_EQ(sheet.CellText(1, 1), "next");
}

TEST_F(SpreadsheetConversionTest, MalformedBytesBecomeReplacementCharacters) {
    static const char kBytes[] = "\xEF\xBB\xBFh1\th2\r\n\"ok \xD0\"\t\"nul\0here\"\r\n";
    QByteArray bytes(kBytes, sizeof kBytes - 1);
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteBytes(bytes)));

    EXPECT_EQ(sheet.CellText(1, 0), QStringLiteral("ok \uFFFD"));
    EXPECT_EQ(sheet.CellText(1, 1), QStringLiteral("nul\uFFFDhere"));
}

TEST_F(SpreadsheetConversionTest, FileWithoutMarkOrFinalLineBreakKeepsEveryLine) {
    qint64 rows = 0;
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteBytes("h1\th2\r\n\"a\"\t\"b\""), &rows));

    EXPECT_EQ(rows, 2);
    EXPECT_EQ(sheet.CellText(0, 0), "h1");
    EXPECT_EQ(sheet.CellText(1, 1), "b");
}

TEST_F(SpreadsheetConversionTest, TenThousandRowsArriveInFileOrder) {
    QStringList lines = {ResultTable::VerticalHeader()};
    for (int i = 0; i < 10000; ++i) {
        lines.append(QStringList{Q(QStringLiteral("7000000%1").arg(i, 10, 10, QChar('0'))),
                                 Q("Фирма"), Q(QStringLiteral("Отзыв номер %1").arg(i)), Q(" 4,5")}
                         .join('\t'));
    }
    qint64 rows = 0;
    XlsxSheet sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(lines), &rows));

    EXPECT_EQ(rows, 10001);
    ExpectSheetHolds(sheet, lines);
}

TEST_F(SpreadsheetConversionTest, ExistingWorkbookIsNeverReplaced) {
    QString target = dir_.filePath("data7.xlsx");
    QFile existing(target);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    auto workbook = app_.Import(WriteResultFile(VerticalLines()));
    try {
        workbook->SaveAs(target);
        FAIL() << "saved over an existing file";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.Message().startsWith("Cannot create file \"" + target + "\"."));
    }
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "keep me");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(SpreadsheetConversionTest, FailedSaveReportsTheReasonAndLeavesNoFile) {
    QTemporaryDir resultDir;
    QString resultPath = resultDir.filePath("data7.tab");
    ASSERT_TRUE(QFile::copy(WriteResultFile(VerticalLines()), resultPath));
    auto workbook = app_.Import(resultPath);
    ASSERT_TRUE(resultDir.remove());  // nowhere left to assemble the workbook

    QString target = dir_.filePath("data7.xlsx");
    try {
        workbook->SaveAs(target);
        FAIL() << "a save without a directory succeeded";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot create file \"" + target +
                                         "\". Error creating output xlsx file. Usually a "
                                         "permissions error. (No such file or directory)");
    }
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SpreadsheetConversionTest, SaveIntoAMissingDirectoryFailsAndCleansUp) {
    auto workbook = app_.Import(WriteResultFile(VerticalLines()));
    QString target = dir_.filePath("missing/data7.xlsx");
    EXPECT_THROW(workbook->SaveAs(target), Failure);
    // Only the result file is left: the assembled workbook did not stay behind.
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(SpreadsheetConversionTest, LineWiderThanASheetFailsWithAClearMessage) {
    QString wide = QStringLiteral("h\r\n") + QString(16384, QChar('\t')) + "\"x\"";
    try {
        app_.Import(WriteBytes(wide.toUtf8()));
        FAIL() << "a line of 16385 fields was imported";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(),
                  "Line 2 of the result file has more than 16384 fields, more "
                  "than a sheet can hold");
    }
}

TEST_F(SpreadsheetConversionTest, MissingResultFileFailsWithItsPath) {
    QString missing = dir_.filePath("data404.tab");
    try {
        app_.Import(missing);
        FAIL() << "imported a file that does not exist";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.Message().startsWith("Cannot open file \"" + missing + "\"."));
    }
}

TEST_F(SpreadsheetConversionTest, AvailabilityProbeLeavesNothingBehind) {
    QTemporaryDir temp;
    EXPECT_TRUE(XlsxSpreadsheetApp(",", temp.path()).Available());
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_FALSE(QFile::exists("unused.xlsx"));
}

}  // namespace
}  // namespace quillorn
