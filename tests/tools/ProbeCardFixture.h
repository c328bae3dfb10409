// The probe's card command run as the real program over a page like the directory serves.
#pragma once

#include <gtest/gtest.h>
#include <QProcess>
#include <QProcessEnvironment>
#include "standin/StandInPages.h"

namespace quillorn::test {

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

    // The separator of the rating Run prints under C: a point on POSIX; on Windows, whose programs
    // take it from the user's regional settings whatever the environment says, the user's.
    static QString SeparatorUnderC();

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

}  // namespace quillorn::test
