#include "tests/headless/HeadlessProgram.h"

#include <sys/resource.h>
#include <csignal>

namespace quillorn::test {

namespace {

// An ended program has no id, and kill(0) would reach this test too.
bool Signal(const QProcess& program, int signal) {
    const qint64 pid = program.processId();
    return pid > 0 && ::kill(static_cast<pid_t>(pid), signal) == 0;
}

}  // namespace

void PrepareChild(QProcess& program, const ChildSetup& setup) {
    program.setChildProcessModifier([limit = setup.fileSizeLimit, hold = setup.holdTermination] {
        // The program's own handling is under test: nothing of this process's may reach it.
        ::signal(SIGXFSZ, SIG_DFL);
        if (limit) {
            rlimit size{};
            ::getrlimit(RLIMIT_FSIZE, &size);
            size.rlim_cur = static_cast<rlim_t>(*limit);
            ::setrlimit(RLIMIT_FSIZE, &size);
        }
        if (hold) {
            sigset_t held;
            sigemptyset(&held);
            sigaddset(&held, SIGTERM);
            ::sigprocmask(SIG_BLOCK, &held, nullptr);
        }
    });
}

bool Interrupt(const QProcess& program) {
    return Signal(program, SIGINT);
}

bool Terminate(const QProcess& program) {
    return Signal(program, SIGTERM);
}

QString ConsoleText(const QByteArray& written) {
    return QString::fromUtf8(written);
}

std::vector<std::string> LocalesTheEnvironmentChooses() {
    return {"ru_RU.UTF-8", "C"};
}

}  // namespace quillorn::test
