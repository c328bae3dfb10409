// What the store and the journal remember when a row of the result table cannot be written: a
// file-size limit makes the writes fail for real, as a full disk does. Windows has no such limit;
// its twin runs on a small file system that fills up.
#include <QFileInfo>
#include <optional>

#include "tests/harvest/HarvestRunFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

class HarvestRunFullDiskTest : public test::HarvestRunFixture {
protected:
    void SetUp() override {
        HarvestRunFixture::SetUp();
        // Files are written under the limit set during the run, and the store, saved after the
        // controls come back, is not.
        host.onEnable = [this] { limit.reset(); };
    }

    // From now on no file of this process may grow past the result file's present size.
    void LimitFilesToTheResultFile() {
        limit.emplace(static_cast<rlim_t>(QFileInfo(Path(ResultName())).size()));
    }
    QStringList Failures() const {
        return sink.Lines().filter(QStringLiteral(": Ошибка: Cannot write file"));
    }

    std::optional<test::FileSizeLimit> limit;
};

TEST_F(HarvestRunFullDiskTest, PerCardRowThatCannotBeWrittenAtTheEndOfTheCardIsNotDelivered) {
    Write(QStringLiteral("IdsDB.dat"), "old\r\n");
    Write(QStringLiteral("IdDates.dat"), "old\t01.01.2024 1:00:00\r\n");
    host.vertical = false;
    host.cardLines = {directory.AddCard(test::ManyReviewsCard(QStringLiteral("702"), 2))};
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("Загружаем страницу")))
            LimitFilesToTheResultFile();
    };

    run.Run();

    EXPECT_EQ(Failures().size(), 1);
    EXPECT_EQ(Read(ResultName()).count("\r\n"), 1);  // the header alone
    EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), "old\r\n");
    // The journal keeps the takes; the next run takes them again and journals them again.
    EXPECT_TRUE(
        Read(QStringLiteral("IdDates.dat"))
            .startsWith("old\t01.01.2024 1:00:00\r\n702-0\t05.03.2024 14:07:09\r\n702-1\t"));
}

TEST_F(HarvestRunFullDiskTest, PendingRowThatCannotBeWrittenAfterAStopIsNotDelivered) {
    // Page 1 holds 50 reviews, 48 of them taken before: the card's row holds the other two when
    // the stop comes before page 2.
    QByteArray seen;
    for (int i = 0; i < 48; ++i)
        seen += QStringLiteral("703-%1\r\n").arg(i).toUtf8();
    Write(QStringLiteral("IdsDB.dat"), seen);
    host.vertical = false;
    host.cardLines = {directory.AddCard(test::ManyReviewsCard(QStringLiteral("703"), 51))};
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("пропускаем отзыв")) && !stop.IsRequested()) {
            stop.Request();
            LimitFilesToTheResultFile();
        }
    };

    run.Run();

    EXPECT_EQ(Failures().size(), 1);
    EXPECT_EQ(Read(ResultName()).count("\r\n"), 1);
    const QByteArray ids = Read(QStringLiteral("IdsDB.dat"));
    EXPECT_EQ(ids.count("\r\n"), 48);
    EXPECT_FALSE(ids.contains("703-48"));
    EXPECT_FALSE(ids.contains("703-49"));
    EXPECT_EQ(Read(QStringLiteral("IdDates.dat")).count("\r\n"), 2);
}

TEST_F(HarvestRunFullDiskTest, ARowWhoseIdsCannotBeRecordedIsTakenBackAndComesNextRun) {
    // A store larger than the result file: under a limit of its size the rows still fit, the
    // ids appended to the store do not.
    QByteArray old;
    for (int i = 0; i < 2000; ++i)
        old += QStringLiteral("old-%1\r\n").arg(i).toUtf8();
    Write(QStringLiteral("IdsDB.dat"), old);
    for (const bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "per review" : "per card");
        host.vertical = vertical;
        host.cardLines = {directory.AddCard(test::ManyReviewsCard(QStringLiteral("704"), 3))};
        sink.onLine = [&](const QString& line) {
            if (line.contains(QStringLiteral("Загружаем отзывы")))
                limit.emplace(static_cast<rlim_t>(old.size()));
        };
        run.Run();
        EXPECT_EQ(Failures().filter(QStringLiteral("IdsDB.dat")).size(), 1);
        EXPECT_EQ(Read(ResultName()).count("\r\n"), 1);  // the header alone
        EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")).count("\r\n"), 2000);
        QFile::remove(Path(ResultName()));

        sink.onLine = nullptr;
        clock.Advance(1000);
        run.Run();
        EXPECT_EQ(DataRows().size(), vertical ? 3 : 1);
        EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")).count("\r\n"), 2003);
        QFile::remove(Path(ResultName()));
        Write(QStringLiteral("IdsDB.dat"), old);
        clock.Advance(1000);
    }
}

}  // namespace
}  // namespace quillorn
