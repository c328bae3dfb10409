#include "tests/support/WindowProgramEnvironment.h"

namespace quillorn::test {

QProcessEnvironment WindowProgramEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("windows"));
    env.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    return env;
}

}  // namespace quillorn::test
