#include "output/RunLog.h"

#include "tests/output/RunLogFixture.h"

namespace quillorn {
namespace {

using test::RunLogTest;

TEST_F(RunLogTest, MessageWithLineBreaksBecomesSeveralLinesOnlyTheFirstStamped) {
    log.Add(": ERROR_first\r\nsecond\nthird\r");
    log.AddPlain("plain\rtext");
    log.AddPlain("");
    EXPECT_EQ(sink.Lines(),
              (QStringList{Stamp() + ": ERROR_first", "second", "third", "plain", "text", ""}));
    log.Clear();
    EXPECT_TRUE(sink.Lines().isEmpty());
}

TEST_F(RunLogTest, StampAtExactMidnightIsTheDateAlone) {
    locale.SetNow(QDateTime(QDate(2024, 1, 31), QTime(0, 0, 0, 999)));
    log.Add(": a");
    locale.SetNow(QDateTime(QDate(2024, 1, 31), QTime(0, 0, 1)));
    log.Add(": b");
    EXPECT_EQ(sink.Lines(), (QStringList{"31.01.2024: a", "31.01.2024 0:00:01: b"}));
}

TEST_F(RunLogTest, SavedFileEndsWithTheEndLineInTheSystemCodePageWithoutMark) {
    log.AddPlain("Привет");
    log.Add(": ключ ✓");
    clock.Set(0xFFFFFFFFu);
    const QString path = log.SaveRunLog();
    EXPECT_EQ(path, dir.FilePath("log--1.txt"));
    const QString endLine = Stamp() + ": Работа завершена, лог записан в " + path;
    EXPECT_EQ(sink.Lines().last(), endLine);
    const QByteArray expected = QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2\r\n") + Stamp().toLatin1() +
                                ": \xEA\xEB\xFE\xF7 ?\r\n" + EncodeWindows1251(endLine) + "\r\n";
    EXPECT_EQ(Read("log--1.txt"), expected);

    // Under a UTF-8 code page nothing becomes '?'.
    locale.SetCodePage(TextEncoding::Utf8);
    clock.Set(7);
    log.SaveRunLog();
    EXPECT_TRUE(
        Read("log-7.txt").startsWith(QString("Привет\r\n" + Stamp() + ": ключ ✓\r\n").toUtf8()));
    EXPECT_EQ(Read("log-7.txt"), (sink.Lines().join("\r\n") + "\r\n").toUtf8());
}

TEST_F(RunLogTest, ExistingLogFileIsNeverReplaced) {
    Write("log-1234.txt", "earlier");
    EXPECT_EQ(log.SaveRunLog(), dir.FilePath("log-1235.txt"));
    EXPECT_EQ(Read("log-1234.txt"), "earlier");
    EXPECT_TRUE(Read("log-1235.txt").endsWith("log-1235.txt\r\n"));
}

}  // namespace
}  // namespace quillorn
