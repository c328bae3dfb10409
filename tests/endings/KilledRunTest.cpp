// Exactly once, whatever ends a run: both programs are killed (SIGKILL, or TerminateProcess on
// Windows, as a power cut, an out-of-memory kill or a logout would end them) at random moments of
// runs over the stand-in directory, then run once to the end. Across every result file each review
// is there once.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRandomGenerator>

#include "tests/endings/KilledRunFixture.h"
#include "tests/support/KilledProgram.h"

namespace quillorn {
namespace {

using test::Ending;
using test::FrontEnd;
using test::KilledRunTest;
using test::Kills;

TEST_P(KilledRunTest, EveryReviewComesOnceAfterKillsAndOneWholeRun) {
    // The moments are random, so every run of the suite kills elsewhere.
    QRandomGenerator random = QRandomGenerator::securelySeeded();
    int killedMidRun = 0;
    for (int kill = 0; kill < Kills(); ++kill) {
        QProcess program;
        Start(program);
        ASSERT_TRUE(program.waitForStarted()) << program.errorString().toStdString();
        if (program.waitForFinished(random.bounded(50, 1500)))
            continue;  // it ended before its moment came
        ++killedMidRun;
        ASSERT_TRUE(test::KillOutright(program));
    }
    RunToTheEnd();
    ExpectEveryReviewOnce();
    RecordProperty("killedMidRun", killedMidRun);
}

INSTANTIATE_TEST_SUITE_P(
    BothFrontEndsBothLayouts, KilledRunTest,
    ::testing::Values(Ending{FrontEnd::Headless, true}, Ending{FrontEnd::Headless, false},
                      Ending{FrontEnd::Window, true}, Ending{FrontEnd::Window, false}),
    [](const ::testing::TestParamInfo<Ending>& info) {
        return std::string(info.param.frontEnd == FrontEnd::Headless ? "Headless" : "Window") +
               (info.param.vertical ? "PerReview" : "PerCard");
    });

}  // namespace
}  // namespace quillorn
