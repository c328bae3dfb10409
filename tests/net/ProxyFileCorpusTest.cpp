// The proxy.txt fuzz target's saved inputs, replayed in the ordinary test run: each keeps the
// line's parts, the port conversion and the password's place in the log as the target checks them.
#include <gtest/gtest.h>

#include "fuzz/ProxyFileHarness.h"
#include "fuzz/SeedCorpus.h"

namespace quillorn {
namespace {

TEST(ProxyFileCorpusTest, EverySavedInputKeepsTheInvariants) {
    const QStringList names = fuzz::SeedNames(QStringLiteral("proxy_line_fuzzer"));
    ASSERT_GE(names.size(), 6);
    for (const QString& name : names)
        EXPECT_EQ(fuzz::CheckProxyFile(fuzz::Seed(QStringLiteral("proxy_line_fuzzer"), name)),
                  QString())
            << name.toStdString();
}

}  // namespace
}  // namespace quillorn
