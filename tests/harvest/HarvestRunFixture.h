// A whole run over a temporary folder against the stand-in directory: the window stand-in, a real
// client, virtual time, the pinned locale, a log panel with a hook on every line, and the workbook
// step with a recording opener; with helpers for the result file, the log and the store.
#pragma once

#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>

#include "harvest/Endpoints.h"
#include "harvest/HarvestRun.h"
#include "harvest/StopFlag.h"
#include "net/HttpClient.h"
#include "output/ResultTable.h"
#include "output/RunLog.h"
#include "output/WorkbookStep.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/AppDir.h"
#include "standin/FakeRunHost.h"
#include "standin/PinnedLocale.h"
#include "standin/StandInDirectory.h"
#include "standin/TestClock.h"
#include "tests/support/FolderFixture.h"
#include "tests/support/RecordingOpener.h"

namespace quillorn::test {

// A card of `reviews` plain reviews with the ids "<branch>-0", "<branch>-1", ...
inline standin::StandInCard ManyReviewsCard(const QString& branch, int reviews) {
    standin::StandInCard card;
    card.path = QStringLiteral("/firm/") + branch;
    card.branchId = branch;
    card.key = QStringLiteral("k") + branch;
    card.name = QStringLiteral("Фирма ") + branch;
    for (int i = 0; i < reviews; ++i) {
        standin::StandInReview review;
        review.id = QStringLiteral("%1-%2").arg(branch).arg(i);
        review.text = QStringLiteral("Отзыв %1").arg(i);
        card.reviews << review;
    }
    return card;
}

class HarvestRunFixture : public FolderFixture {
protected:
    HarvestRunFixture() = default;
    explicit HarvestRunFixture(const QString& parent) : FolderFixture(parent) {}

    void SetUp() override {
        FolderFixture::SetUp();
        host.repeatChecked = true;
        host.repeatMinutes = 1;
    }

    // The panel's lines with the (pinned, unchanging) time stamp taken off.
    QStringList Messages() const {
        QStringList messages;
        for (const QString& line : sink.Lines())
            messages << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
        return messages;
    }

    QString ResultName() const {
        const QStringList names = Files(QStringLiteral("data*.tab"));
        return names.size() == 1 ? names.front() : QString();
    }
    // The result file's lines after its mark and header.
    QStringList DataRows() const {
        QStringList rows = QString::fromUtf8(Read(ResultName())).split(QStringLiteral("\r\n"));
        EXPECT_GE(rows.size(), 2) << "no result file with a header";
        return rows.size() < 2 ? QStringList() : rows.mid(1, rows.size() - 2);
    }

    static QString Cells(const QStringList& cells) {
        QStringList quoted;
        for (const QString& cell : cells)
            quoted << u'"' + cell + u'"';
        return quoted.join(u'\t');
    }

    // A stop, in whatever place it happened: rows kept, no log file, no workbook, the store
    // saved with what was taken, and the rest of the clean-up done.
    void ExpectStoppedRunCleanedUp(const QByteArray& expectedIds) {
        EXPECT_TRUE(Files(QStringLiteral("log-*")).isEmpty());
        EXPECT_TRUE(Files(QStringLiteral("*.xlsx")).isEmpty());
        EXPECT_EQ(Read(QStringLiteral("IdsDB.dat")), expectedIds);
        EXPECT_EQ(Read(QStringLiteral("IdsDB.pending")), "") << "a row left to settle";
        EXPECT_EQ(host.events.mid(host.events.size() - 2),
                  QStringList({"EnableRunControls", "ArmRepeat 60000"}));
        EXPECT_EQ(Messages().last(),
                  QStringLiteral(": Ставим повторный запуск выгрузки на таймер через, минут: 1"));
        EXPECT_TRUE(host.controlsEnabled);
    }

    // The store's file after a run took the first `count` reviews of a ManyReviewsCard.
    QByteArray StoredIds(const QString& branch, int count) const {
        QStringList ids;
        for (int i = 0; i < count; ++i)
            ids << QStringLiteral("%1-%2").arg(branch).arg(i);
        std::sort(ids.begin(), ids.end(), [&](const QString& a, const QString& b) {
            return locale.CompareIgnoringCase(a, b) < 0;
        });
        QByteArray bytes;
        for (const QString& id : ids)
            bytes += id.toUtf8() + "\r\n";
        return bytes;
    }

    int ApiRequests() const {
        int count = 0;
        for (const auto& request : directory.Requests())
            count += request.host == standin::StandInHost::Api ? 1 : 0;
        return count;
    }

    AppDir dir{tmp.path()};
    standin::StandInDirectory directory;
    Endpoints endpoints = directory.MakeEndpoints();
    standin::FakeRunHost host;
    // The client's own pumps while it waits on the network, apart from the run's.
    std::function<void()> onClientPump;
    HttpClient client{[this] {
        if (onClientPump)
            onClientPump();
    }};
    standin::TestClock clock;
    standin::PinnedLocale locale;
    const QString stamp = locale.TimeStamp();
    standin::HookedLogSink sink;
    RunLog log{sink, locale, clock, dir};
    StopFlag stop;
    XlsxSpreadsheetApp spreadsheet{locale.DecimalSeparator(), tmp.path()};
    RecordingOpener opener;
    WorkbookStep workbook{log, spreadsheet, opener};
    HarvestRun run{host, client, clock, log, locale, dir, endpoints, stop, workbook};
};

}  // namespace quillorn::test
