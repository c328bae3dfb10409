// A small forward HTTP proxy on 127.0.0.1 for the proxy tests where tinyproxy cannot run (the
// Windows build): basic authentication (a missing or wrong Proxy-Authorization is refused with
// 407), CONNECT tunnels, and plain requests with an absolute URL forwarded in origin form without
// the proxy's own headers. Every request line it receives goes to its log.
#pragma once

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "standin/ServerSockets.h"

namespace quillorn::test {

class StandInProxy {
public:
    // Listens at once; throws std::runtime_error when it cannot.
    StandInProxy(QByteArray login, QByteArray password);
    ~StandInProxy();  // ends every connection and joins its threads
    StandInProxy(const StandInProxy&) = delete;
    StandInProxy& operator=(const StandInProxy&) = delete;

    quint16 Port() const { return port_; }
    // The request lines received so far, one a line.
    QByteArray Log() const;

private:
    class Connection;
    struct Message;

    void AcceptLoop();
    void Serve(standin::ServerSocket client);
    // Opens a tunnel to target ("host:port") and copies bytes both ways until either side ends.
    void Tunnel(Connection& client, const QByteArray& target);
    // Sends the request to its origin and the answer back; false when the client connection
    // must end.
    bool Forward(Connection& client, const Message& request);
    void Note(const QByteArray& line);

    QByteArray expectedAuthorization_;
    quint16 port_ = 0;
    standin::ServerSocket listener_ = standin::kNoServerSocket;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    std::vector<std::thread> connectionThreads_;
    QByteArray log_;
};

}  // namespace quillorn::test
