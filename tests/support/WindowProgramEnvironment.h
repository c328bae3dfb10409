// The environment the tests start a window program in (the real window, or a test program built
// around it).
#pragma once

#include <QProcessEnvironment>

namespace quillorn::test {

// Offscreen on POSIX; on Windows the system's own windows (Wine's offscreen has no fonts), with
// Qt's messages on standard error, which a window program without a console would send to the
// debugger.
QProcessEnvironment WindowProgramEnvironment();

}  // namespace quillorn::test
