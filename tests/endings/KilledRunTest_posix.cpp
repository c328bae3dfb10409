// A kill at the one moment a random one rarely meets: strace ends the program (SIGKILL) as it is
// about to append the ids of its second row to IdsDB.dat, the row already in its result file.
// The next run must know that row's reviews as delivered.
#include <gtest/gtest.h>

#include <QProcess>
#include <csignal>

#include "tests/endings/KilledRunFixture.h"

namespace quillorn {
namespace {

using test::KilledRunTest;

TEST_P(KilledRunTest, KilledBetweenARowAndItsIdsDeliversThatRowOnce) {
    QProcess program;
    Start(program, {"strace", "-f", "-qq", "-o", "/dev/null", "-P", Path("IdsDB.dat"), "-e",
                    "trace=write", "-e", "inject=write:signal=KILL:when=2"});
    ASSERT_TRUE(program.waitForFinished(120000)) << "the killed run did not end";
    // strace passes the program's end on by ending the same way.
    ASSERT_EQ(program.exitStatus(), QProcess::CrashExit) << "strace did not kill the program";
    ASSERT_EQ(program.exitCode(), SIGKILL);
    // The first row's ids only (a review's, or a whole card's): the second row is in the file
    // without them.
    const int rowReviews = GetParam().vertical ? 1 : test::kReviewsPerCard;
    ASSERT_EQ(Read(QStringLiteral("IdsDB.dat")).count("\r\n"), rowReviews);
    ASSERT_EQ(Deliveries().size(), 2 * rowReviews);
    RunToTheEnd();
    ExpectEveryReviewOnce();
}

}  // namespace
}  // namespace quillorn
