// What only Linux shows of the workbook writer: a process that can open no further file (a
// descriptor limit) and one that keeps no file open after a workbook given up, a result file whose
// name holds characters Windows names cannot (: * ? \), and the workbook read back by Linux
// programs (openpyxl, Gnumeric's ssconvert).
#include "output/ResultTable.h"

#include "tests/output/SpreadsheetConversionFixture.h"

#include <sys/resource.h>
#include <unistd.h>

namespace quillorn {
namespace {

using test::Q;
using test::ReadXlsxFirstSheet;
using test::SpreadsheetConversionTest;
using test::VerticalLines;
using test::XlsxSheet;

// While it lives, the process can open no further file.
class NoFreeFileDescriptors {
public:
    NoFreeFileDescriptors() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit none = saved_;
        none.rlim_cur = rlim_t(lowestFree);
        setrlimit(RLIMIT_NOFILE, &none);
    }
    ~NoFreeFileDescriptors() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(SpreadsheetConversionTest, NotAvailableWhenTheLibraryCannotStartASheet) {
    QString resultPath = WriteResultFile(VerticalLines());
    // Asked once beforehand as well: besides showing the writer is there, this warms the
    // sanitizer's type-check cache, whose first look-up needs a free file descriptor.
    EXPECT_TRUE(app_.Available());
    bool available = true;
    {
        NoFreeFileDescriptors guard;
        available = app_.Available();
    }
    EXPECT_FALSE(available);
    EXPECT_TRUE(app_.Available());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// Each probe starts a workbook and gives it up: its row store, an unlinked file, must not stay
// open for the rest of a program that repeats for days.
TEST_F(SpreadsheetConversionTest, AvailabilityProbesKeepNoFileOpen) {
    const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).count(); };
    const XlsxSpreadsheetApp app(",", QDir::tempPath());
    ASSERT_TRUE(app.Available());
    const auto before = openFiles();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(app.Available());
    EXPECT_EQ(openFiles(), before);
}

TEST_F(SpreadsheetConversionTest, SheetIsNamedAfterTheResultFileAndPrintsOnePageWide) {
    XlsxSheet sheet =
        ReadXlsxFirstSheet(Convert(WriteResultFile(VerticalLines(), "data1421172.tab")));

    EXPECT_EQ(sheet.name, "data1421172");
    EXPECT_EQ(sheet.orientation, "landscape");
    EXPECT_TRUE(sheet.fitToPage);
    EXPECT_EQ(sheet.fitToWidth, 1);
    EXPECT_EQ(sheet.fitToHeight, 0);  // as many pages down as the rows need
    EXPECT_EQ(sheet.printTitles, "data1421172!$1:$1");

    const QString thirty = QString(30, u'ю');
    const std::pair<QString, QString> names[] = {
        {"data-2147483643.tab", "data-2147483643"},
        {"a[b]:c*d?e'f\\g.tab", "a_b__c_d_e_f_g"},
        {thirty + "😀x.tab", thirty},  // 31 characters at most, no half emoji
        {"history.tab", "Sheet1"},
        {".tab", "Sheet1"},
    };
    for (const auto& [file, name] : names) {
        QFile::remove(dir_.filePath("data7.xlsx"));
        sheet = ReadXlsxFirstSheet(Convert(WriteResultFile(VerticalLines(), file)));
        EXPECT_EQ(sheet.name, name) << file.toStdString();
        EXPECT_TRUE(sheet.printTitles.endsWith("!$1:$1")) << file.toStdString();
    }
}

TEST_F(SpreadsheetConversionTest, ThirdPartyReaderOpensTheWorkbook) {
    QString workbook = Convert(WriteResultFile(VerticalLines()));
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, openpyxl\n"
                                 "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                 "print(ws.max_row, ws['B2'].value, ws['L2'].value.date(),"
                                 " ws['E2'].value, ws.freeze_panes, ws.auto_filter.ref,"
                                 " ws.title, ws['P2'].hyperlink.target)\n"),
                  workbook});
    ASSERT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
              "4 ООО \"Ромашка\" 2023-05-17 4.7 A2 A1:P4 data7 https://2gis.ru/firm/1");
}

// What a real spreadsheet program makes of the workbook, beside this project's own reader.
TEST_F(SpreadsheetConversionTest, SpreadsheetProgramSeesLineBreaksSheetNameLinksAndPageSetup) {
    XlsxSheet sheet = test::ReadThroughSpreadsheetProgram(
        Convert(WriteResultFile(VerticalLines(), "data1421172.tab")));

    EXPECT_EQ(sheet.name, "data1421172");
    EXPECT_EQ(sheet.CellText(1, 9), "Отлично!\nВернусь\tещё 😀");
    EXPECT_TRUE(sheet.Cell(1, 9)->wrap);
    EXPECT_FALSE(sheet.Cell(1, 1)->wrap);
    EXPECT_EQ(sheet.Cell(1, 8)->link, "https://2gis.ru/novosibirsk/user/abc");
    EXPECT_EQ(sheet.Cell(3, 15)->link, "https://2gis.ru/firm/2");
    EXPECT_EQ(sheet.Cell(1, 15)->text, "https://2gis.ru/firm/1");
    EXPECT_TRUE(sheet.Cell(1, 9)->link.isEmpty());
    EXPECT_EQ(sheet.Cell(1, 4)->number, 4.7);
    EXPECT_EQ(sheet.orientation, "landscape");
    EXPECT_TRUE(sheet.fitToPage);
    EXPECT_EQ(sheet.fitToWidth, 1);
    EXPECT_EQ(sheet.fitToHeight, 0);
    EXPECT_EQ(sheet.printTitles, "data1421172!$A$1:$XFD$1");
}

}  // namespace
}  // namespace quillorn
