// A result table over a temporary folder, and the review and row helpers its tests share.
#pragma once

#include "output/AcceptReview.h"
#include "output/ResultTable.h"
#include "output/ReviewJournal.h"
#include "output/SeenReviewStore.h"
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

    QByteArray Data() const { return Read(QStringLiteral("data1234.tab")); }
    static QByteArray Line(const QString& text) { return text.toUtf8() + "\r\n"; }

    ResultTable table{log, clock, dir};
    CardProfile profile = standin::SampleProfile();
};

const QString kProfileCells = QStringLiteral(
    "\"70000001\"\t\"Кафе \"Уют\"\"\t\"Новосибирск\"\t\"Ленина, 1\"\t\" 4,5\"\t\"120\"");

}  // namespace quillorn::test
