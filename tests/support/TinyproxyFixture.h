// The real tinyproxy, started for a test on a free loopback port with a configuration of its own
// (basic authentication, loopback only, no Via header) and stopped with the fixture. A machine
// without tinyproxy makes the constructor throw: proxy tests fail there, they are never skipped.
// tinyproxy does not run on Windows: there the fixture runs the stand-in proxy (StandInProxy.h)
// on a thread of the test program, with the same credentials and the same interface.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace quillorn::test {

class TinyproxyFixture {
public:
    // Throws std::runtime_error when tinyproxy is missing or does not come up.
    explicit TinyproxyFixture(QByteArray login = "quill", QByteArray password = "s3cret-pass");
    ~TinyproxyFixture();
    TinyproxyFixture(const TinyproxyFixture&) = delete;
    TinyproxyFixture& operator=(const TinyproxyFixture&) = delete;

    quint16 Port() const { return port_; }
    const QByteArray& Login() const { return login_; }
    const QByteArray& Password() const { return password_; }
    // "login:password@127.0.0.1:port", the form proxy.txt holds.
    QString ProxyLine() const;
    // What the proxy wrote to its log so far (every request line among it).
    QByteArray Log() const;

private:
    class Running;  // tinyproxy's process, or the stand-in proxy

    bool Start();
    void Stop();

    QByteArray login_;
    QByteArray password_;
    QTemporaryDir dir_;
    quint16 port_ = 0;
    std::unique_ptr<Running> running_;
};

}  // namespace quillorn::test
