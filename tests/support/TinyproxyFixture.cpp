#include "tests/support/TinyproxyFixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace quillorn::test {

class TinyproxyFixture::Running {
public:
    pid_t pid = -1;
};

namespace {

QString TinyproxyPath() {
    QString path = QStandardPaths::findExecutable(QStringLiteral("tinyproxy"));
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(
            QStringLiteral("tinyproxy"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    return path;
}

// A port nobody listens on now (tinyproxy binds it a moment later).
quint16 FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

bool Accepts(quint16 port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok =
        fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

}  // namespace

TinyproxyFixture::TinyproxyFixture(QByteArray login, QByteArray password)
    : login_(std::move(login)), password_(std::move(password)) {
    if (TinyproxyPath().isEmpty())
        throw std::runtime_error("tinyproxy is not installed (the proxy tests need it)");
    if (!dir_.isValid())
        throw std::runtime_error("no temporary directory for tinyproxy");
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (Start())
            return;
    }
    throw std::runtime_error("tinyproxy did not start: " + Log().toStdString());
}

TinyproxyFixture::~TinyproxyFixture() {
    Stop();
}

QString TinyproxyFixture::ProxyLine() const {
    return QStringLiteral("%1:%2@127.0.0.1:%3")
        .arg(QString::fromUtf8(login_), QString::fromUtf8(password_))
        .arg(port_);
}

QByteArray TinyproxyFixture::Log() const {
    QFile log(dir_.filePath(QStringLiteral("tinyproxy.log")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool TinyproxyFixture::Start() {
    port_ = FreeLoopbackPort();
    QByteArray config = "Port " + QByteArray::number(port_) +
                        "\n"
                        "Listen 127.0.0.1\n"
                        "Allow 127.0.0.1\n"
                        "Timeout 60\n"
                        "MaxClients 16\n"
                        "LogLevel Info\n"
                        "DisableViaHeader Yes\n"
                        "XTinyproxy No\n"
                        "BasicAuth " +
                        login_ + ' ' + password_ + '\n';
    // Run as root (as in CI) tinyproxy refuses to keep root; give it an ordinary user.
    if (geteuid() == 0)
        config += "User nobody\nGroup nogroup\n";
    const QString configPath = dir_.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config) < 0)
        throw std::runtime_error("cannot write tinyproxy's configuration");
    file.close();

    const QByteArray program = TinyproxyPath().toLocal8Bit();
    const QByteArray configArg = configPath.toLocal8Bit();
    const QByteArray logPath = dir_.filePath(QStringLiteral("tinyproxy.log")).toLocal8Bit();
    const int logFd = ::open(logPath.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const pid_t pid = fork();
    if (pid == 0) {
        // Foreground, logging to stderr, which goes to the log file.
        dup2(logFd, STDOUT_FILENO);
        dup2(logFd, STDERR_FILENO);
        execl(program.constData(), program.constData(), "-d", "-c", configArg.constData(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (logFd >= 0)
        ::close(logFd);
    if (pid < 0)
        throw std::runtime_error("cannot start tinyproxy");
    running_ = std::make_unique<Running>();
    running_->pid = pid;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            running_.reset();
            return false;
        }
        if (Accepts(port_))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    return false;
}

void TinyproxyFixture::Stop() {
    if (!running_)
        return;
    const pid_t pid = running_->pid;
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    running_.reset();
}

}  // namespace quillorn::test
