// A result table over a temporary folder, and the review and row helpers its tests share.
#pragma once

#include "output/AcceptReview.h"
#include "output/ResultTable.h"
#include "output/ReviewJournal.h"
#include "output/SeenReviewStore.h"
#include "output/TakenReviews.h"
#include "platform/Errors.h"
#include "standin/SampleProfile.h"
#include "tests/output/OutputFixture.h"

namespace quillorn::test {

const QByteArray kMark("\xEF\xBB\xBF");

class ResultTableTest : public test::OutputFixture {
protected:
    ResultTableTest() { profile.CardUrl = QStringLiteral("https://2gis.ru/firm/\"1\""); }

    static ReviewRecord Review(const QString& text) {
        ReviewRecord r;
        r.Id = text;
        r.HasAuthor = true;
        r.AuthorName = QStringLiteral("Анна");
        r.AuthorReviewCount = QStringLiteral("7");
        r.AuthorProfileUrl = QStringLiteral("https://2gis.ru/user/42");
        r.Text = text;
        r.DateCreated = QStringLiteral("2023-05-17T10:20:30+03:00");
        r.Rating = QStringLiteral("5");
        r.LikesCount = QStringLiteral("2");
        return r;
    }

    // What a run holds to remember the reviews it takes, over the test's folder.
    struct TrackedRun {
        explicit TrackedRun(ResultTableTest& test)
            : test(test),
              journal(test.locale, test.dir),
              store(test.locale, test.log, test.dir),
              taken(store, test.dir),
              table(test.log, test.clock, test.dir, &taken) {}

        // The start of a run: files opened, the store loaded and an earlier run's row settled.
        void Start(bool vertical) {
            journal.Open();
            store.Load();
            taken.SettleInterruptedRow();
            table.Open(vertical);
        }

        // Takes the review of id, as the feed does, and adds it to the table.
        void Take(const QString& id) {
            ASSERT_TRUE(AcceptReview(id, store, journal, test.log));
            table.AddReview(test.profile, Review(id));
        }

        ResultTableTest& test;
        ReviewJournal journal;
        SeenReviewStore store;
        TakenReviews taken;
        ResultTable table;
    };

    QByteArray Data() const { return Read(QStringLiteral("data1234.tab")); }
    static QByteArray Line(const QString& text) { return text.toUtf8() + "\r\n"; }

    ResultTable table{log, clock, dir};
    CardProfile profile = standin::SampleProfile();
};

const QString kProfileCells = QStringLiteral(
    "\"70000001\"\t\"Кафе \"Уют\"\"\t\"Новосибирск\"\t\"Ленина, 1\"\t\" 4,5\"\t\"120\"");

}  // namespace quillorn::test
