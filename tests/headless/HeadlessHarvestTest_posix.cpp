// quillorn-harvest's cases that only POSIX systems have: a card list in UTF-8 without a mark read
// under a UTF-8 locale (Windows reads it in its ANSI code page), its language chosen by the
// environment (Windows takes the user's language from the system), a limit on the size of its
// files, a FIFO in place of its store, and a signal held back until it is ready to take it.
#include <sys/stat.h>

#include <QFile>
#include <QStringList>

#include "harvest/HarvestRun.h"
#include "tests/headless/HeadlessHarvestFixture.h"

namespace quillorn::test {
namespace {

TEST_F(HeadlessHarvestTest, SpeaksEnglishUnderAnotherLocale) {
    const Harvest english = Run({QStringLiteral("--help")}, QStringLiteral("C.UTF-8"));
    EXPECT_TRUE(english.out.contains(QStringLiteral("One row per review.")))
        << english.out.toStdString();
}

// What every Linux editor saves: UTF-8 without a mark. The card is asked for by its own path,
// under the users' locale and under C.
TEST_F(HeadlessHarvestTest, ACardListInUtf8WithoutMarkIsRequestedAsWritten) {
    const QByteArray encoded = "/moscow/search/%D0%BA%D0%B0%D1%84%D0%B5";  // "кафе"
    standin::StandInCard card = HarvestCard(QStringLiteral("811"), 1);
    card.path = QString::fromLatin1(encoded);
    directory.AddCard(card);
    WriteCards({directory.CardUrl(QStringLiteral("/moscow/search/кафе"))});
    for (const QString& locale : {kRussian, QStringLiteral("C")}) {
        directory.ClearRequests();
        const Harvest run = Run({QStringLiteral("--interval"), QStringLiteral("0")}, locale);
        EXPECT_EQ(run.status, 0) << locale.toStdString() << run.err.toStdString();
        ASSERT_FALSE(directory.RequestLines().isEmpty());
        EXPECT_TRUE(directory.RequestLines().first().contains(QString::fromLatin1(encoded)))
            << directory.RequestLines().first().toStdString();
    }
}

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
