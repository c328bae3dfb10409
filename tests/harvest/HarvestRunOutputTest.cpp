// Whole runs seen from the files they leave: the workbook under the users' locale, and what the
// store and the journal remember when a row of the result table cannot be written.
#include "harvest/HarvestRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <optional>

#include "harvest/Endpoints.h"
#include "harvest/StopFlag.h"
#include "net/HttpClient.h"
#include "output/DesktopOpener.h"
#include "output/RunLog.h"
#include "output/WorkbookStep.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/Clock.h"
#include "platform/LocaleServices.h"
#include "standin/FakeRunHost.h"
#include "standin/PinnedLocale.h"
#include "standin/StandInDirectory.h"
#include "standin/TestClock.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ProcessLocale.h"
#include "tests/support/XlsxReader.h"

namespace quillorn {
namespace {

using standin::StandInCard;
using standin::StandInReview;

class RecordingOpener final : public DesktopOpener {
public:
    QStringList opened;
    void Open(const QString& path) override { opened << path; }
};

StandInCard Card(const QString& branch, int reviews) {
    StandInCard card;
    card.path = QStringLiteral("/firm/") + branch;
    card.branchId = branch;
    card.key = QStringLiteral("k") + branch;
    card.name = QStringLiteral("Кафе ") + branch;
    card.generalRating = QStringLiteral("4.6");
    for (int i = 0; i < reviews; ++i) {
        StandInReview review;
        review.id = QStringLiteral("%1-%2").arg(branch).arg(i);
        review.text = QStringLiteral("Отзыв %1").arg(i);
        card.reviews << review;
    }
    return card;
}

class HarvestRunOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        // Files are written under the limit set during the run, and the store, saved after the
        // controls come back, is not.
        host.onEnable = [this] { limit.reset(); };
    }

    QString Path(const QString& name) const { return dir.FilePath(name); }
    QByteArray Bytes(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QString ResultName() const {
        const QStringList names = QDir(tmp.path()).entryList({"data*.tab"}, QDir::Files);
        return names.size() == 1 ? names.front() : QString();
    }
    // From now on no file of this process may grow past the result file's present size.
    void LimitFilesToTheResultFile() {
        limit.emplace(static_cast<rlim_t>(QFileInfo(Path(ResultName())).size()));
    }
    QStringList Failures() const {
        return sink.Lines().filter(QStringLiteral(": Ошибка: Cannot write file"));
    }

    QTemporaryDir tmp;
    AppDir dir{tmp.path()};
    standin::StandInDirectory directory;
    Endpoints endpoints = directory.MakeEndpoints();
    standin::FakeRunHost host;
    HttpClient client;
    standin::TestClock clock;
    standin::PinnedLocale locale;
    standin::HookedLogSink sink;
    RunLog log{sink, locale, clock, dir};
    StopFlag stop;
    XlsxSpreadsheetApp spreadsheet{locale.DecimalSeparator(), tmp.path()};
    RecordingOpener opener;
    WorkbookStep workbook{log, spreadsheet, opener};
    HarvestRun run{host, client, clock, log, locale, dir, endpoints, stop, workbook};
    std::optional<test::FileSizeLimit> limit;
};

TEST_F(HarvestRunOutputTest, WorkbookOfARunUnderADecimalCommaLocaleCarriesPoints) {
    test::ProcessLocale russian("ru_RU.UTF-8");
    ASSERT_TRUE(russian.Active()) << "ru_RU.UTF-8 is not installed (scripts/setup.sh makes it)";
    ASSERT_EQ(test::ProcessLocale::DecimalPoint(), ",");
    host.cardLines = {directory.AddCard(Card(QStringLiteral("701"), 2))};

    run.Run();

    ASSERT_EQ(opener.opened.size(), 1) << sink.Lines().join('\n').toStdString();
    const test::XlsxSheet sheet = test::ReadXlsxFirstSheet(opener.opened.front());
    ASSERT_EQ(sheet.rows.size(), 3);
    EXPECT_EQ(sheet.Cell(1, 4)->number, 4.6);  // " 4,6" in the result file
    EXPECT_EQ(sheet.Cell(2, 12)->number, 5);
    EXPECT_GT(sheet.columnWidths.value(1), 8.43);
    EXPECT_EQ(sheet.pageMargins.value("left"), 0.7);
}

TEST_F(HarvestRunOutputTest, PerCardRowThatCannotBeWrittenAtTheEndOfTheCardIsNotDelivered) {
    Write(QStringLiteral("IdsDB.dat"), "old\r\n");
    Write(QStringLiteral("IdDates.dat"), "old\t01.01.2024 1:00:00\r\n");
    host.vertical = false;
    host.cardLines = {directory.AddCard(Card(QStringLiteral("702"), 2))};
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("Загружаем страницу")))
            LimitFilesToTheResultFile();
    };

    run.Run();

    EXPECT_EQ(Failures().size(), 1);
    EXPECT_EQ(Bytes(ResultName()).count("\r\n"), 1);  // the header alone
    EXPECT_EQ(Bytes(QStringLiteral("IdsDB.dat")), "old\r\n");
    EXPECT_EQ(Bytes(QStringLiteral("IdDates.dat")), "old\t01.01.2024 1:00:00\r\n");
}

TEST_F(HarvestRunOutputTest, PendingRowThatCannotBeWrittenAfterAStopIsNotDelivered) {
    // Page 1 holds 50 reviews, 48 of them taken before: the card's row holds the other two when
    // the stop comes before page 2.
    QByteArray seen;
    for (int i = 0; i < 48; ++i)
        seen += QStringLiteral("703-%1\r\n").arg(i).toUtf8();
    Write(QStringLiteral("IdsDB.dat"), seen);
    host.vertical = false;
    host.cardLines = {directory.AddCard(Card(QStringLiteral("703"), 51))};
    sink.onLine = [&](const QString& line) {
        if (line.contains(QStringLiteral("пропускаем отзыв")) && !stop.IsRequested()) {
            stop.Request();
            LimitFilesToTheResultFile();
        }
    };

    run.Run();

    EXPECT_EQ(Failures().size(), 1);
    EXPECT_EQ(Bytes(ResultName()).count("\r\n"), 1);
    const QByteArray ids = Bytes(QStringLiteral("IdsDB.dat"));
    EXPECT_EQ(ids.count("\r\n"), 48);
    EXPECT_FALSE(ids.contains("703-48"));
    EXPECT_FALSE(ids.contains("703-49"));
    EXPECT_EQ(Bytes(QStringLiteral("IdDates.dat")), "");
}

}  // namespace
}  // namespace quillorn
