// The fuzz target's saved inputs, replayed in the ordinary test run: every input that once found
// a fault stays a regression test.
#include <gtest/gtest.h>

#include "fuzz/HttpResponseHarness.h"
#include "fuzz/SeedCorpus.h"
#include "fuzz/SetCookieHarness.h"

namespace quillorn {
namespace {

QByteArray Seed(const QString& name) {
    return fuzz::Seed(QStringLiteral("http_response_fuzzer"), name);
}

int Replay(const QByteArray& input) {
    return fuzz::ReadResponses(reinterpret_cast<const uint8_t*>(input.constData()),
                               static_cast<size_t>(input.size()));
}

TEST(ResponseCorpusTest, ReadsTheSeedsAsTheResponsesTheyHold) {
    EXPECT_EQ(Replay(Seed(QStringLiteral("length"))), 1);
    EXPECT_EQ(Replay(Seed(QStringLiteral("chunked"))), 2);  // a chunked body, then a 204
    EXPECT_EQ(Replay(Seed(QStringLiteral("interim-redirect"))), 1);
    EXPECT_EQ(Replay(Seed(QStringLiteral("close-xml"))), 1);
}

// Inputs added by fuzzing runs: under the sanitizers, a fault in any of them fails the suite.
TEST(ResponseCorpusTest, ReplaysEverySavedInput) {
    const QStringList names = fuzz::SeedNames(QStringLiteral("http_response_fuzzer"));
    ASSERT_GE(names.size(), 4);
    for (const QString& name : names)
        Replay(Seed(name));
}

// The Set-Cookie target's inputs: every value reaches the client whole, in order, on its own.
TEST(ResponseCorpusTest, SetCookieInputsArriveValueByValue) {
    const QStringList names = fuzz::SeedNames(QStringLiteral("set_cookie_fuzzer"));
    ASSERT_GE(names.size(), 3);
    for (const QString& name : names)
        EXPECT_EQ(fuzz::CheckSetCookies(fuzz::Seed(QStringLiteral("set_cookie_fuzzer"), name)),
                  QString())
            << name.toStdString();
}

}  // namespace
}  // namespace quillorn
