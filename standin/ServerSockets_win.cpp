#include "standin/ServerSockets.h"

// winsock2.h brings windows.h with it, in the order Winsock needs.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

#include "net/SocketLibrary.h"

namespace quillorn::standin {
namespace {

SOCKET Native(ServerSocket socket) {
    return static_cast<SOCKET>(socket);
}

ServerSocket Handle(SOCKET socket) {
    return socket == INVALID_SOCKET ? kNoServerSocket : static_cast<ServerSocket>(socket);
}

SOCKET NewSocket(int family, int type, int protocol) {
    return WSASocketW(family, type, protocol, nullptr, 0,
                      WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
}

bool Wait(ServerSocket socket, bool forWriting, int sliceMs) {
    WSAPOLLFD entry{Native(socket), static_cast<SHORT>(forWriting ? POLLWRNORM : POLLRDNORM), 0};
    return WSAPoll(&entry, 1, sliceMs) > 0;
}

}  // namespace

// Winsock raises no signal for a closed peer: nothing to ignore.
void IgnoreBrokenPipes() {}

ServerSocket ListenOnLoopback(quint16& port) {
    StartSocketLibrary();
    const SOCKET socket = NewSocket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        throw std::runtime_error("loopback server: no socket");
    // No other program may take the port while the server holds it.
    const BOOL one = TRUE;
    setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one),
               sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket, 64) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(socket);
        throw std::runtime_error("loopback server: cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return Handle(socket);
}

ServerSocket AcceptWithin(ServerSocket listener, int sliceMs) {
    if (!Wait(listener, false, sliceMs))
        return kNoServerSocket;
    return Handle(accept(Native(listener), nullptr, nullptr));
}

ServerSocket ConnectTo(const QByteArray& host, quint16 port) {
    StartSocketLibrary();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return kNoServerSocket;
    SOCKET socket = INVALID_SOCKET;
    for (const addrinfo* address = found; address && socket == INVALID_SOCKET;
         address = address->ai_next) {
        socket = NewSocket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (socket != INVALID_SOCKET &&
            ::connect(socket, address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0) {
            closesocket(socket);
            socket = INVALID_SOCKET;
        }
    }
    freeaddrinfo(found);
    return Handle(socket);
}

// A time-out on a Windows socket leaves it in no defined state: the socket does not block, and
// every read and write first waits up to a slice for it.
void PrepareConnection(ServerSocket socket, int /*sliceMs*/) {
    u_long nonBlocking = 1;
    ioctlsocket(Native(socket), FIONBIO, &nonBlocking);
    const BOOL one = TRUE;
    setsockopt(Native(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
               sizeof one);
}

int ReceiveSlice(ServerSocket socket, char* data, int size, int sliceMs) {
    if (!Wait(socket, false, sliceMs))
        return -1;
    const int n = recv(Native(socket), data, size, 0);
    if (n >= 0)
        return n;
    return WSAGetLastError() == WSAEWOULDBLOCK ? -1 : 0;
}

int SendSlice(ServerSocket socket, const char* data, int size, int sliceMs) {
    if (!Wait(socket, true, sliceMs))
        return -1;
    const int n = send(Native(socket), data, size, 0);
    if (n > 0)
        return n;
    return n == 0 || WSAGetLastError() == WSAEWOULDBLOCK ? -1 : 0;
}

bool SliceElapsed() {
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

void AwaitSlice(ServerSocket socket, bool forWriting, int sliceMs) {
    Wait(socket, forWriting, sliceMs);
}

void ShutdownAndClose(ServerSocket socket) noexcept {
    shutdown(Native(socket), SD_SEND);
    closesocket(Native(socket));
}

void CloseServerSocket(ServerSocket socket) noexcept {
    if (socket != kNoServerSocket)
        closesocket(Native(socket));
}

}  // namespace quillorn::standin
