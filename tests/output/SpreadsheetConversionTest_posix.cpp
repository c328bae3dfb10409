// The workbook writer when the process can open no further file (a descriptor limit; Windows has
// none).
#include "output/ResultTable.h"

#include "tests/output/SpreadsheetConversionFixture.h"

#include <sys/resource.h>
#include <unistd.h>
#include "tests/support/FileSizeLimit.h"

namespace quillorn {
namespace {

using test::Q;
using test::ReadXlsxFirstSheet;
using test::SpreadsheetConversionTest;
using test::VerticalLines;
using test::XlsxSheet;

// While it lives, the process can open no further file.
class NoFreeFileDescriptors {
public:
    NoFreeFileDescriptors() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit none = saved_;
        none.rlim_cur = rlim_t(lowestFree);
        setrlimit(RLIMIT_NOFILE, &none);
    }
    ~NoFreeFileDescriptors() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(SpreadsheetConversionTest, NotAvailableWhenTheLibraryCannotStartASheet) {
    QString resultPath = WriteResultFile(VerticalLines());
    // Asked once beforehand as well: besides showing the writer is there, this warms the
    // sanitizer's type-check cache, whose first look-up needs a free file descriptor.
    EXPECT_TRUE(app_.Available());
    bool available = true;
    {
        NoFreeFileDescriptors guard;
        available = app_.Available();
    }
    EXPECT_FALSE(available);
    EXPECT_TRUE(app_.Available());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

}  // namespace
}  // namespace quillorn
