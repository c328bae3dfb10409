// The probe's card command under the machine's decimal comma, chosen here through LC_ALL; on
// Windows the decimal separator is the user's regional setting, which no environment variable sets.
#include <gtest/gtest.h>

#include "tests/tools/ProbeCardFixture.h"

namespace quillorn {
namespace {

using test::ProbeCardTest;

TEST_F(ProbeCardTest, RatingTakesTheMachinesDecimalSeparator) {
    const Outcome outcome = Run(standin::CardPageHtml(Card()), QStringLiteral("ru_RU.UTF-8"));
    EXPECT_TRUE(outcome.out.contains("\nrating\t4,7\n")) << outcome.out.constData();
}

}  // namespace
}  // namespace quillorn
