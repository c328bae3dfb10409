// quillorn-harvest's cases that only POSIX systems have: a limit on the size of its files, a FIFO
// in place of its store, and a signal held back until it is ready to take it.
#include <sys/stat.h>

#include <QFile>
#include <QStringList>

#include "harvest/HarvestRun.h"
#include "tests/headless/HeadlessHarvestFixture.h"

namespace quillorn::test {
namespace {

TEST_F(HeadlessHarvestTest, ResultFileThatCannotBeWrittenEndsWithStatusOne) {
    // ulimit -f as cron or LimitFSIZE= set it: the header fits, the row with its long review does
    // not. The limit's signal would end the program mid-row by default.
    standin::StandInCard card = HarvestCard(QStringLiteral("804"), 1);
    card.reviews[0].text = QString(3000, QChar(u'ж'));
    WriteCards({directory.AddCard(card)});
    child.fileSizeLimit = 2048;

    const Harvest harvest = Run({QStringLiteral("--per-review")});

    EXPECT_EQ(harvest.status, 1) << harvest.err.toStdString();
    EXPECT_TRUE(harvest.out.contains(QStringLiteral(": Ошибка: Cannot write file")))
        << harvest.out.toStdString();
    EXPECT_TRUE(harvest.err.contains(QStringLiteral(": Ошибка: Cannot write file")))
        << harvest.err.toStdString();
    const QStringList results = Files(QStringLiteral("data*.tab"));
    ASSERT_EQ(results.size(), 1);
    const QByteArray table = Read(results.front());
    EXPECT_TRUE(table.endsWith("\r\n"));
    EXPECT_EQ(table.count('\n'), table.count("\r\n")) << "a torn row";
    EXPECT_FALSE(Read(QStringLiteral("IdsDB.dat")).contains("804-0"));
}

// A FIFO in place of the store would block the open for ever, beyond the reach of any signal.
TEST_F(HeadlessHarvestTest, FifoInPlaceOfTheStoreIsRefusedAtOnce) {
    WriteCards({directory.AddCard(HarvestCard(QStringLiteral("811"), 1))});
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path(QStringLiteral("IdsDB.dat"))).constData(), 0600), 0);

    const Harvest harvest = Run({});

    EXPECT_EQ(harvest.status, 2) << harvest.out.toStdString();
    EXPECT_TRUE(harvest.err.contains(Path(QStringLiteral("IdsDB.dat"))))
        << harvest.err.toStdString();
    EXPECT_TRUE(harvest.err.contains(QStringLiteral("It is not a regular file.")));
}

// A stop that comes at the program's first instant ends it as a stop, and no run begins. The
// signal is held back (a blocked signal stays blocked across exec) until the program is ready to
// take it: sent at once without that, it would find the loader still at work, before any of the
// program's code, where nothing can catch it.
TEST_F(HeadlessHarvestTest, SignalAtTheFirstInstantStopsWithoutARun) {
    WriteCards({directory.AddCard(HarvestCard(QStringLiteral("812"), 1))});
    child.holdTermination = true;
    onStarted = [](QProcess& program) { Terminate(program); };

    for (int i = 0; i < 3; ++i) {
        const Harvest harvest = Run({});
        EXPECT_EQ(harvest.status, 130) << harvest.err.toStdString() << harvest.out.toStdString();
    }
    EXPECT_TRUE(directory.RequestLines().isEmpty());
    EXPECT_TRUE(Files(QStringLiteral("data*.tab")).isEmpty());
}

}  // namespace
}  // namespace quillorn::test
