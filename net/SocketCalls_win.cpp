#include "net/SocketCalls.h"

// winsock2.h brings windows.h with it, in the order Winsock needs.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "net/SocketLibrary.h"
#include "platform/Errors.h"

namespace quillorn {
namespace {

SOCKET Native(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

SocketHandle Handle(SOCKET socket) {
    return socket == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(socket);
}

addrinfo StreamHints(int extraFlags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | extraFlags;
    return hints;
}

// The words Linux uses for the failures a connection meets most, so that a refused connect or a
// reset reads the same on both systems; other errors get Windows' own text.
const char* CommonErrorWords(int error) {
    switch (error) {
        case WSAECONNREFUSED:
            return "Connection refused";
        case WSAECONNRESET:
            return "Connection reset by peer";
        case WSAECONNABORTED:
            return "Software caused connection abort";
        case WSAETIMEDOUT:
            return "Connection timed out";
        case WSAENETUNREACH:
            return "Network is unreachable";
        case WSAEHOSTUNREACH:
            return "No route to host";
        case WSAENETDOWN:
            return "Network is down";
        case WSAEADDRNOTAVAIL:
            return "Cannot assign requested address";
        default:
            return nullptr;
    }
}

QString FormatSystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, static_cast<qsizetype>(length))
                          : QStringLiteral("error %1").arg(error);
    if (buffer)
        LocalFree(buffer);
    text = text.trimmed();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

int ClampedSize(std::int64_t size) {
    return static_cast<int>(std::clamp<std::int64_t>(size, 0, 1 << 30));
}

}  // namespace

int LastSocketError() {
    return WSAGetLastError();
}

bool IsWouldBlock(int error) {
    return error == WSAEWOULDBLOCK;
}

bool IsInterrupted(int error) {
    return error == WSAEINTR;
}

QString SocketErrorText(int error) {
    if (const char* words = CommonErrorWords(error))
        return QString::fromLatin1(words);
    return FormatSystemMessage(static_cast<DWORD>(error));
}

bool PollSocket(SocketHandle socket, bool forWriting, int timeoutMs) {
    int rc = 0;
    if (forWriting) {
        // WSAPoll does not report every failed connect (older Windows waits out the time-out
        // instead); select names it in the exception set.
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(Native(socket), &writable);
        FD_SET(Native(socket), &failed);
        timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
        rc = select(0, nullptr, &writable, &failed, &timeout);
    } else {
        WSAPOLLFD entry{Native(socket), POLLRDNORM, 0};
        rc = WSAPoll(&entry, 1, timeoutMs);
    }
    if (rc == SOCKET_ERROR && WSAGetLastError() != WSAEINTR)
        throw Failure(QStringLiteral("poll: ") + SocketErrorText(WSAGetLastError()));
    return rc > 0;
}

bool ShowsIncoming(SocketHandle socket) {
    WSAPOLLFD entry{Native(socket), POLLRDNORM, 0};
    return WSAPoll(&entry, 1, 0) != 0;
}

std::int64_t SendSome(SocketHandle socket, const char* data, std::int64_t size) {
    return send(Native(socket), data, ClampedSize(size), 0);
}

std::int64_t ReceiveSome(SocketHandle socket, char* data, std::int64_t size) {
    return recv(Native(socket), data, ClampedSize(size), 0);
}

void CloseSocket(SocketHandle socket) noexcept {
    if (socket != kNoSocket)
        closesocket(Native(socket));
}

SocketHandle StartConnect(const addrinfo& address, bool& pending, int& error) {
    StartSocketLibrary();
    pending = false;
    // Not inherited by programs this one starts, as SOCK_CLOEXEC does on Linux.
    const SOCKET socket = WSASocketW(address.ai_family, address.ai_socktype, address.ai_protocol,
                                     nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (socket == INVALID_SOCKET) {
        error = WSAGetLastError();
        return kNoSocket;
    }
    u_long nonBlocking = 1;
    if (ioctlsocket(socket, FIONBIO, &nonBlocking) == 0 &&
        ::connect(socket, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0)
        return Handle(socket);
    error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
        pending = true;
        return Handle(socket);
    }
    closesocket(socket);
    return kNoSocket;
}

int ConnectError(SocketHandle socket) {
    int error = 0;
    int length = sizeof error;
    getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    return error;
}

void SendWithoutDelay(SocketHandle socket) {
    const BOOL one = TRUE;
    setsockopt(Native(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
               sizeof one);
}

int LookUpNumeric(const QByteArray& host, const QByteArray& service, addrinfo** found) {
    StartSocketLibrary();
    const addrinfo hints = StreamHints(AI_NUMERICHOST);
    return getaddrinfo(host.constData(), service.constData(), &hints, found);
}

int LookUpName(const Resolver& resolver, const QByteArray& host, const QByteArray& service,
               addrinfo** found) {
    StartSocketLibrary();
    const addrinfo hints = StreamHints(0);
    if (!resolver)
        return getaddrinfo(host.constData(), service.constData(), &hints, found);
    return resolver(host.constData(), service.constData(), &hints, found);
}

const addrinfo* NextAddress(const addrinfo* address) {
    return address->ai_next;
}

void FreeAddresses(addrinfo* list) noexcept {
    if (list)
        freeaddrinfo(list);
}

QString LookupErrorText(int code) {
    return FormatSystemMessage(static_cast<DWORD>(code));
}

bool IsNumericAddress(const QByteArray& text) {
    StartSocketLibrary();
    in6_addr scratch{};
    return inet_pton(AF_INET, text.constData(), &scratch) == 1 ||
           inet_pton(AF_INET6, text.constData(), &scratch) == 1;
}

// Windows has no eventfd: a connected pair of loopback sockets, one byte written to wake the
// reader.
WakeSignal::WakeSignal() {
    StartSocketLibrary();
    const auto failed = [this](int error) {
        CloseSocket(waitEnd_);
        CloseSocket(raiseEnd_);
        return Failure(QStringLiteral("Cannot start a name lookup: ") + SocketErrorText(error));
    };
    const SOCKET listener = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                       WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (listener == INVALID_SOCKET)
        throw failed(WSAGetLastError());
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    SOCKET accepted = INVALID_SOCKET;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        listen(listener, 1) == 0 &&
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        raiseEnd_ = Handle(WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                      WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT));
        if (raiseEnd_ != kNoSocket &&
            ::connect(Native(raiseEnd_), reinterpret_cast<sockaddr*>(&address), sizeof address) ==
                0)
            accepted = accept(listener, nullptr, nullptr);
    }
    const int error = WSAGetLastError();
    closesocket(listener);
    waitEnd_ = Handle(accepted);
    if (waitEnd_ == kNoSocket || raiseEnd_ == kNoSocket)
        throw failed(error);
    SendWithoutDelay(raiseEnd_);
}

WakeSignal::~WakeSignal() {
    CloseSocket(waitEnd_);
    CloseSocket(raiseEnd_);
}

void WakeSignal::Raise() noexcept {
    const char one = 1;
    send(Native(raiseEnd_), &one, 1, 0);
}

// Winsock reports writing to a closed connection as an error of send; there is no signal that
// could end the program.
void IgnoreBrokenPipes() {}

}  // namespace quillorn
