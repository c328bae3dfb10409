// The probe's card command, run as the real program over pages like the directory serves.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "standin/StandInPages.h"

namespace quillorn {
namespace {

class ProbeCardTest : public ::testing::Test {
protected:
    struct Outcome {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    static Outcome Run(const QByteArray& page, const QString& locale = QStringLiteral("C")) {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), locale);
        probe.setProcessEnvironment(environment);
        probe.start(QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-probe"),
                    {QStringLiteral("card")});
        EXPECT_TRUE(probe.waitForStarted());
        probe.write(page);
        probe.closeWriteChannel();
        EXPECT_TRUE(probe.waitForFinished(30000));
        return {probe.exitCode(), probe.readAllStandardOutput(), probe.readAllStandardError()};
    }

    static standin::StandInCard Card() {
        standin::StandInCard card;
        card.branchId = QStringLiteral("70000001");
        card.key = QStringLiteral("k-1");
        card.name = QStringLiteral("Кафе\t\"Ромашка\"\nна углу");
        card.addressName = QStringLiteral("Тверская, 1");
        card.admDiv = {{QStringLiteral("city"), QStringLiteral("Москва")}};
        return card;
    }
};

TEST_F(ProbeCardTest, PrintsEveryFieldOnItsOwnLine) {
    const Outcome outcome = Run(standin::CardPageHtml(Card()));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(outcome.out),
              QStringLiteral("key\tk-1\nbranch\t70000001\nname\tКафе\\t\"Ромашка\"\\nна углу\n"
                             "city\tМосква\naddress\tТверская, 1\nrating\t4.7\ncount\t42\n"));
}

TEST_F(ProbeCardTest, RatingTakesTheMachinesDecimalSeparator) {
    const Outcome outcome = Run(standin::CardPageHtml(Card()), QStringLiteral("ru_RU.UTF-8"));
    EXPECT_TRUE(outcome.out.contains("\nrating\t4,7\n")) << outcome.out.constData();
}

TEST_F(ProbeCardTest, PageWithoutBranchIdPrintsTheReason) {
    standin::StandInCard card = Card();
    card.branchId.clear();
    const Outcome outcome = Run(standin::CardPageHtml(card));
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.out.isEmpty());
    EXPECT_EQ(outcome.err, QByteArray("Broken\n"));
}

}  // namespace
}  // namespace quillorn
