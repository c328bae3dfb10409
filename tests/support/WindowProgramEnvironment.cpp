#include "tests/support/WindowProgramEnvironment.h"

namespace quillorn::test {

QProcessEnvironment WindowProgramEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

}  // namespace quillorn::test
