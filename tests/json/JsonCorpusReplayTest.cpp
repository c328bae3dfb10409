// The JSON fuzz target's saved inputs, replayed in the ordinary test run through the target's own
// check: every input that once broke the parser stays a regression test.
#include <gtest/gtest.h>

#include "fuzz/JsonHarness.h"
#include "fuzz/SeedCorpus.h"

namespace quillorn {
namespace {

TEST(JsonCorpusReplayTest, EverySavedInputKeepsTheInvariants) {
    const QStringList names = fuzz::SeedNames(QStringLiteral("json_fuzzer"));
    ASSERT_GE(names.size(), 6);
    for (const QString& name : names)
        EXPECT_EQ(fuzz::CheckJson(fuzz::Seed(QStringLiteral("json_fuzzer"), name)), QString())
            << name.toStdString();
}

}  // namespace
}  // namespace quillorn
