// Exactly once across a full disk: a run whose disk fills up in the middle ends at the run level,
// and the next run, with room again, delivers what the first could not write and nothing twice.
// Windows has no file-size limit, so the folder lies on a small file system that really fills up.
#include <QMap>
#include <QRegularExpression>

#include "platform/Errors.h"
#include "tests/harvest/HarvestRunFixture.h"
#include "tests/support/FullDisk.h"

namespace quillorn {
namespace {

constexpr int kReviews = 150;  // three feed pages

class HarvestRunFullDiskTest : public test::HarvestRunFixture {
protected:
    HarvestRunFullDiskTest() : HarvestRunFixture(test::FullDisk::Root()) {}

    void SetUp() override {
        ASSERT_FALSE(test::FullDisk::Root().isEmpty())
            << "QUILLORN_FULL_DISK names no small file system (scripts/windows-build.sh mounts "
               "one)";
        HarvestRunFixture::SetUp();
    }

    // Runs, and tells whether the run failed, whether it said so in the log or by a failure that
    // ended it (the store cannot be compacted on a full disk either).
    bool RunFails() {
        try {
            run.Run();
        } catch (const OutputFailure&) {
            return true;
        }
        return run.Failed();
    }

    // How often each review stands in the result files.
    QMap<int, int> Deliveries() const {
        static const QRegularExpression text(QStringLiteral("\"Отзыв ([0-9]+)\""));
        QMap<int, int> seen;
        for (const QString& name : Files(QStringLiteral("data*.tab"))) {
            for (const auto& match : text.globalMatch(QString::fromUtf8(Read(name))))
                ++seen[match.captured(1).toInt()];
        }
        return seen;
    }

    test::FullDisk disk;
};

TEST_F(HarvestRunFullDiskTest, ReviewsARunCouldNotWriteComeOnceWithTheNextRun) {
    for (const bool vertical : {true, false}) {
        SCOPED_TRACE(vertical ? "per review" : "per card");
        for (const QString& name : Files())
            ASSERT_TRUE(QFile::remove(Path(name)));
        const QString branch = vertical ? QStringLiteral("801") : QStringLiteral("802");
        host.vertical = vertical;
        host.cardLines = {directory.AddCard(test::ManyReviewsCard(branch, kReviews))};
        // The disk fills up while the second feed page is asked for, after the first page's
        // reviews.
        int pages = 0;
        sink.onLine = [&](const QString& line) {
            if (line.contains(QStringLiteral("Загружаем отзывы")) && ++pages == 2) {
                ASSERT_TRUE(disk.Fill());
            }
        };
        EXPECT_TRUE(RunFails());
        EXPECT_FALSE(sink.Lines().filter(QStringLiteral("Cannot write file")).isEmpty())
            << sink.Lines().join('\n').toStdString();

        disk.Free();
        sink.onLine = nullptr;
        clock.Advance(1000);
        EXPECT_FALSE(RunFails()) << sink.Lines().join('\n').toStdString();

        const QMap<int, int> seen = Deliveries();
        EXPECT_EQ(seen.size(), kReviews) << "reviews missing";
        for (auto it = seen.begin(); it != seen.end(); ++it)
            EXPECT_EQ(it.value(), 1) << "review " << it.key() << " came " << it.value() << " times";
        EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")).count("\r\n"), kReviews);
        clock.Advance(1000);
    }
}

}  // namespace
}  // namespace quillorn
