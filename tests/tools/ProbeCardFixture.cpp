#include "tests/tools/ProbeCardFixture.h"

namespace quillorn::test {

QString ProbeCardTest::SeparatorUnderC() {
    return QStringLiteral(".");
}

}  // namespace quillorn::test
