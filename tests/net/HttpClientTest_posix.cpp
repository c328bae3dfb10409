// Connecting that hangs, as it does towards an unreachable host. Linux drops the connection
// attempts a full accept queue cannot take; Windows refuses them at once, so there is no hanging
// connect to make on loopback there.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "net/HttpClient.h"

namespace quillorn {
namespace {

TEST(HttpClientConnectTest, GivesUpConnectingInTimeWhileServicingTheWindow) {
    HttpClient client;
    // A listener whose accept queue is full: the kernel drops further connection attempts, so
    // connecting hangs as it does towards an unreachable host.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 0), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(filler);
    }
    int pumps = 0;
    client.SetEventPump([&] { ++pumps; });
    client.SetLimits({.connectTimeoutMs = 600});

    try {
        client.Get(QStringLiteral("http://127.0.0.1:%1/").arg(ntohs(address.sin_port)));
        ADD_FAILURE() << "connected";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), QStringLiteral("Connect timed out"));
    }
    EXPECT_GE(pumps, 3);  // every 125 ms of the 600 ms
    for (const int fd : fillers)
        ::close(fd);
    ::close(listener);
}

}  // namespace
}  // namespace quillorn
