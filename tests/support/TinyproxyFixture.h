// The real tinyproxy, started for a test on a free loopback port with a configuration of its own
// (basic authentication, loopback only, no Via header) and stopped with the fixture. A machine
// without tinyproxy makes the constructor throw: proxy tests fail there, they are never skipped.
#pragma once

#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

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
    // What tinyproxy wrote to its log so far.
    QByteArray Log() const;

private:
    bool Start();
    void Stop();

    QByteArray login_;
    QByteArray password_;
    QTemporaryDir dir_;
    quint16 port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace quillorn::test
