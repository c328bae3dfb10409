#include "tests/support/KilledProgram.h"

namespace quillorn::test {

bool KillOutright(QProcess& program) {
    program.kill();
    // Reaped: no thread of it runs any more.
    return program.waitForFinished(10000);
}

}  // namespace quillorn::test
