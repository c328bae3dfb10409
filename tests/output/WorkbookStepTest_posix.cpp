// The workbook step when the workbook cannot grow (a file-size limit; Windows has none).
#include "output/WorkbookStep.h"

#include "tests/output/WorkbookStepFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using test::FileSizeLimit;
using test::MissingSpreadsheet;
using test::RecordingOpener;
using test::WorkbookStepTest;

TEST_F(WorkbookStepTest, FailedSaveLogsTheErrorAndDoesNotOpen) {
    WriteTable(3);
    {
        FileSizeLimit fullDisk(2048);  // the rows fit, the packed workbook does not
        step.Run(table);
    }

    QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[1], ": Файл сформирован, в нем 4 строк");
    EXPECT_TRUE(messages[2].startsWith(": Ошибка: Cannot create file \"" +
                                       dir.FilePath("data1234.xlsx") + "\". "))
        << messages[2].toStdString();
    EXPECT_TRUE(messages[2].endsWith(" (File too large)")) << messages[2].toStdString();
    EXPECT_TRUE(opener.opened.isEmpty());
    // No workbook, whole or partial, under its name or a temporary one.
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"data1234.tab"});
}

}  // namespace
}  // namespace quillorn
