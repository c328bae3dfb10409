// The workbook step when the workbook cannot grow (a file-size limit; Windows has none), and beside
// a conversion whose part file another process holds locked with flock(1).
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

TEST_F(WorkbookStepTest, NextStepRemovesPartFilesOfKilledConversionsOnly) {
    // What a conversion killed while saving leaves behind: its part file, locked by nobody.
    const QString abandoned = QStringLiteral(".data1200.0123456789abcdef.xlsx-part");
    // A conversion still saving in another process holds its part file locked.
    const QString live = QStringLiteral(".data-1201.fedcba9876543210.xlsx-part");
    // Names of other making.
    const QStringList foreign = {QStringLiteral(".report.0123456789abcdef.xlsx-part"),
                                 QStringLiteral("data1202.0123456789abcdef.xlsx-part"),
                                 QStringLiteral(".data1203.xlsx-part")};
    for (const QString& name : QStringList{abandoned, live} + foreign)
        Write(name, "PK");
    QProcess writer;
    writer.start(QStringLiteral("flock"),
                 {QStringLiteral("-x"), dir.FilePath(live), QStringLiteral("-c"),
                  QStringLiteral("echo held; exec sleep 60")});
    ASSERT_TRUE(writer.waitForReadyRead(10000)) << "flock(1) did not take the lock";
    WriteTable(1);

    step.Run(table);

    writer.kill();
    writer.waitForFinished();
    EXPECT_EQ(Messages().last(),
              ": Открываем файл с результатами " + dir.FilePath("data1234.xlsx"));
    QStringList expected =
        QStringList{live, QStringLiteral("data1234.tab"), QStringLiteral("data1234.xlsx")} +
        foreign;
    expected.sort();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

}  // namespace
}  // namespace quillorn
