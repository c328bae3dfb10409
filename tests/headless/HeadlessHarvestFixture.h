// What the quillorn-harvest tests share: the real program run over a temporary folder against the
// stand-in directory on loopback, its output watched as it grows, and the stops it is sent.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

#include "standin/StandInDirectory.h"
#include "tests/headless/HeadlessProgram.h"
#include "tests/support/FolderFixture.h"

namespace quillorn::test {

inline const QString kRussian = QStringLiteral("ru_RU.UTF-8");

// A card of branch with reviews reviews, two lines each, under a name with a tab and quotes.
standin::StandInCard HarvestCard(const QString& branch, int reviews);

struct Harvest {
    int status = -1;  // the exit status; -1 when the program did not end normally
    QString out;
    QString err;
};

class HeadlessHarvestTest : public FolderFixture {
protected:
    void WriteCards(const QStringList& urls) const {
        Write(QStringLiteral("urls.txt"), (urls.join(QStringLiteral("\r\n")) + "\r\n").toUtf8());
    }

    // Runs the program over tmp; onOutput sees standard output as it grows (standard error so far
    // in errSoFar) and may stop the process. Nothing here waits on a clock: a program that never
    // ends fails after ten minutes.
    Harvest Run(QStringList args, const QString& locale = kRussian,
                const std::function<void(QProcess&, const QString&)>& onOutput = {});

    standin::StandInDirectory directory;
    QString binary = QStringLiteral(QUILLORN_BINARY_DIR "/quillorn-harvest");
    // Limits and held signals the program starts with (POSIX only).
    ChildSetup child;
    std::function<void(QProcess&)> onStarted;
    QString errSoFar;
};

}  // namespace quillorn::test
