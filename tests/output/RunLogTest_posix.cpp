// The log file when it cannot grow (a file-size limit; Windows has none).
#include "output/RunLog.h"

#include "tests/output/RunLogFixture.h"
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using test::FileSizeLimit;
using test::RunLogTest;

TEST_F(RunLogTest, FailedSaveRaisesOutputFailureAndKeepsThePanel) {
    for (int i = 0; i < 50; ++i)
        log.Add(": строка журнала, которая занимает место");
    {
        FileSizeLimit limit(100);
        try {
            log.SaveRunLog();
            FAIL() << "no failure";
        } catch (const OutputFailure& failure) {
            EXPECT_EQ(failure.Message(),
                      "Cannot write file \"" + dir.FilePath("log-1234.txt") + "\". File too large");
        }
    }
    EXPECT_EQ(sink.Lines().size(), 51);
    EXPECT_EQ(Files(), QStringList());  // no empty log file left behind

    RunLog elsewhere(sink, locale, clock, AppDir(tmp.path() + "/missing"));
    EXPECT_THROW(
        {
            try {
                elsewhere.SaveRunLog();
            } catch (const OutputFailure& failure) {
                EXPECT_TRUE(failure.Message().startsWith("Cannot create file \""));
                throw;
            }
        },
        OutputFailure);
}

}  // namespace
}  // namespace quillorn
