#include "tests/support/TinyproxyFixture.h"

#include <stdexcept>

#include "tests/support/StandInProxy.h"

namespace quillorn::test {

// tinyproxy does not run on Windows: the stand-in proxy runs on threads of the test program.
class TinyproxyFixture::Running {
public:
    Running(const QByteArray& login, const QByteArray& password) : proxy(login, password) {}
    StandInProxy proxy;
};

TinyproxyFixture::TinyproxyFixture(QByteArray login, QByteArray password)
    : login_(std::move(login)), password_(std::move(password)) {
    if (!Start())
        throw std::runtime_error("the stand-in proxy did not start");
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
    return running_ ? running_->proxy.Log() : QByteArray();
}

bool TinyproxyFixture::Start() {
    running_ = std::make_unique<Running>(login_, password_);
    port_ = running_->proxy.Port();
    return true;
}

void TinyproxyFixture::Stop() {
    running_.reset();
}

}  // namespace quillorn::test
