// The feed of one card read from the stand-in directory into a result table in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include "harvest/Endpoints.h"
#include "harvest/ReviewFeedReader.h"
#include "harvest/StopFlag.h"
#include "json/JsonValue.h"
#include "net/HttpClient.h"
#include "output/ResultTable.h"
#include "output/ReviewJournal.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/LogSink.h"
#include "standin/PinnedLocale.h"
#include "standin/StandInDirectory.h"
#include "standin/TestClock.h"
#include "tests/support/FolderFixture.h"

namespace quillorn::test {

using standin::StandInCard;
using standin::StandInDirectory;
using standin::StandInReview;

inline StandInCard CardWithReviews(const QString& branch, int count) {
    StandInCard card;
    card.branchId = branch;
    card.path = QStringLiteral("/firm/") + branch;
    card.key = QStringLiteral("k") + branch;
    for (int i = 0; i < count; ++i) {
        StandInReview review;
        review.id = QStringLiteral("r%1-%2").arg(branch).arg(i);
        review.text = QStringLiteral("Отзыв №%1").arg(i);
        review.user =
            standin::StandInUser{QStringLiteral("u%1").arg(i), QStringLiteral("Автор"), i};
        card.reviews << review;
    }
    return card;
}

class ReviewFeedReaderTest : public test::FolderFixture {
protected:
    void SetUp() override {
        FolderFixture::SetUp();
        journal.Open();
        store.Load();
        table.Open(true);
        table.BeginCard();
        sink.Clear();
    }

    FeedEnd Read(const QString& branch, QString key = {}) {
        if (key.isEmpty())
            key = QStringLiteral("k") + branch;
        profile.BranchId = branch;
        return reader.ReadFeed(branch, key, profile);
    }

    // The log's messages without their time stamps (the pinned locale's clock stands still).
    QStringList Messages() const {
        QStringList messages;
        for (const QString& line : sink.Lines())
            messages << (line.startsWith(stamp) ? line.mid(stamp.size()) : line);
        return messages;
    }

    QStringList DataRows() {
        table.Close();
        QFile file(table.FilePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList rows = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
        rows.removeFirst();  // mark and header
        rows.removeLast();   // after the last line break
        return rows;
    }

    QString FeedLine(const QString& branch, int offset, const QString& key = {}) const {
        return QStringLiteral("api GET /2.0/branches/%1/reviews?offset=%2&key=%3")
            .arg(branch)
            .arg(offset)
            .arg(key.isEmpty() ? QStringLiteral("k") + branch : key);
    }

    AppDir dir{tmp.path()};
    StandInDirectory directory;
    Endpoints endpoints = directory.MakeEndpoints();
    HttpClient client;
    standin::TestClock clock;
    standin::PinnedLocale locale;
    const QString stamp = locale.TimeStamp();
    MemoryLogSink sink;
    RunLog log{sink, locale, clock, dir};
    StopFlag stop;
    SeenReviewStore store{locale, log, dir};
    ReviewJournal journal{locale, dir};
    TakenReviews taken{store, dir};
    ResultTable table{log, clock, dir, &taken};
    ReviewFeedReader reader{client, clock, log, stop, endpoints, store, journal, table};
    CardProfile profile;
};

}  // namespace quillorn::test
