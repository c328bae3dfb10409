// The probe's card command, run as the real program over pages like the directory serves.
#include <gtest/gtest.h>

#include "tests/tools/ProbeCardFixture.h"

namespace quillorn {
namespace {

using test::ProbeCardTest;

TEST_F(ProbeCardTest, PrintsEveryFieldOnItsOwnLine) {
    const Outcome outcome = Run(standin::CardPageHtml(Card()));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(outcome.out),
              QStringLiteral("key\tk-1\nbranch\t70000001\nname\tКафе\\t\"Ромашка\"\\nна углу\n"
                             "city\tМосква\naddress\tТверская, 1\nrating\t4") +
                  SeparatorUnderC() + QStringLiteral("7\ncount\t42\n"));
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
