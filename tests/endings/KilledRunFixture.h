// Both front ends run over the stand-in directory in a folder of their own, ended from outside and
// run again: what the tests that kill them share. Every review's text names its id, so the rows of
// either layout show which reviews they hold.
#pragma once

#include <gtest/gtest.h>

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include "standin/StandInDirectory.h"
#include "tests/support/FolderFixture.h"
#include "tests/support/WindowProgramEnvironment.h"

namespace quillorn::test {

using standin::StandInCard;
using standin::StandInReview;

enum class FrontEnd { Headless, Window };

struct Ending {
    FrontEnd frontEnd;
    bool vertical;
};

constexpr int kCards = 3;
constexpr int kReviewsPerCard = 120;  // three feed pages
// Kills per case; CI's own stage asks for more through QUILLORN_KILLS.
inline int Kills() {
    const int asked = qEnvironmentVariableIntValue("QUILLORN_KILLS");
    return asked > 0 ? asked : 5;
}

inline StandInCard NumberedCard(int card) {
    StandInCard c;
    c.branchId = QString::number(5000 + card);
    c.path = QStringLiteral("/firm/") + c.branchId;
    c.key = QStringLiteral("k") + c.branchId;
    c.name = QStringLiteral("Фирма %1").arg(card);
    for (int i = 0; i < kReviewsPerCard; ++i) {
        StandInReview review;
        review.id = QStringLiteral("%1-%2").arg(c.branchId).arg(i);
        review.text = QStringLiteral("отзыв <%1>").arg(review.id);
        c.reviews << review;
    }
    return c;
}

class KilledRunTest : public FolderFixture, public ::testing::WithParamInterface<Ending> {
protected:
    void SetUp() override {
        FolderFixture::SetUp();
        QStringList urls;
        for (int card = 0; card < kCards; ++card)
            urls << directory.AddCard(NumberedCard(card));
        Write(QStringLiteral("urls.txt"), (urls.join(QStringLiteral("\r\n")) + "\r\n").toUtf8());
        Write(QStringLiteral("settings.ini"),
              QStringLiteral("[Settings]\r\nVerticalMode=%1\r\nNoReviewsNoWrites=1\r\n")
                  .arg(GetParam().vertical ? 1 : 0)
                  .toUtf8());
    }

    // Starts a run of the front end over the folder; wrapper, when given, is a program that starts
    // the front end in its turn, its arguments first.
    void Start(QProcess& program, const QStringList& wrapper = {}) const {
        program.setProcessEnvironment(WindowProgramEnvironment());
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.setStandardOutputFile(QProcess::nullDevice());
        QStringList command;
        if (GetParam().frontEnd == FrontEnd::Headless) {
            command = QStringList{QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-harvest"),
                                  "--dir",
                                  tmp.path(),
                                  "--api-base",
                                  directory.ApiBase(),
                                  "--site-base",
                                  directory.SiteAddress(),
                                  "--interval",
                                  "0",
                                  "--no-workbook"};
        } else {
            command = QStringList{QStringLiteral(QUILLORN_WINDOW_RUN), tmp.path(),
                                  directory.ApiBase(), directory.SiteAddress()};
        }
        command = wrapper + command;
        program.start(command.takeFirst(), command);
    }

    // A run to the end, after which every review must be in the result files once.
    void RunToTheEnd() const {
        QProcess last;
        Start(last);
        ASSERT_TRUE(last.waitForFinished(120000)) << "the last run did not end";
        ASSERT_EQ(last.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(last.exitCode(), 0);
    }

    void ExpectEveryReviewOnce() const {
        const QMap<QString, QStringList> seen = Deliveries();
        EXPECT_EQ(seen.size(), kCards * kReviewsPerCard) << "reviews missing";
        const QStringList stored =
            QString::fromUtf8(Read(QStringLiteral("IdsDB.dat"))).split("\r\n");
        for (auto it = seen.begin(); it != seen.end(); ++it) {
            EXPECT_EQ(it.value().size(), 1)
                << it.key().toStdString() << " came in " << it.value().join(u' ').toStdString()
                << "; IdsDB.dat holds it " << stored.count(it.key()) << " times";
        }
    }

    // The result files each review id stands in, once per row that holds it.
    QMap<QString, QStringList> Deliveries() const {
        static const QRegularExpression id(QStringLiteral("отзыв <([0-9]+-[0-9]+)>"));
        QMap<QString, QStringList> seen;
        for (const QString& name : Files(QStringLiteral("data*.tab"))) {
            const QString text = QString::fromUtf8(Read(name));
            EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")))
                << "a torn row in " << name.toStdString() << " (" << Read(name).size()
                << " bytes, ending " << Read(name).right(40).toPercentEncoding().toStdString()
                << ")";
            for (const auto& match : id.globalMatch(text))
                seen[match.captured(1)] << name;
        }
        return seen;
    }

    standin::StandInDirectory directory;
};

}  // namespace quillorn::test
