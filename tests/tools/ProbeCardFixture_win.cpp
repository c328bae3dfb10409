#include "tests/tools/ProbeCardFixture.h"

#include "platform/LocaleServices.h"

namespace quillorn::test {

QString ProbeCardTest::SeparatorUnderC() {
    return SystemLocale().DecimalSeparator();
}

}  // namespace quillorn::test
