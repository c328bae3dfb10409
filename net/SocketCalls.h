// The socket and name-lookup calls whose form differs between systems (file descriptors and errno
// on Linux, Winsock on Windows), so that connecting, waiting, reading and writing are written
// once. Internal to the network layer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

#include "net/SocketHandle.h"

struct addrinfo;

namespace quillorn {

// ---- errors ----

// The error of the socket call that just failed on this thread.
int LastSocketError();
// The call found nothing to do yet and should be repeated once the socket is ready.
bool IsWouldBlock(int error);
// A signal interrupted the call: repeat it.
bool IsInterrupted(int error);
// The system's words for a socket error, in the user's language.
QString SocketErrorText(int error);

// ---- one open socket ----

// Waits up to timeoutMs for the socket to become readable (or writable), or to show an error or
// the peer's close. True when it did, false at the time-out or on an interruption; raises Failure
// "poll: <why>" when waiting itself fails.
bool PollSocket(SocketHandle socket, bool forWriting, int timeoutMs);
// Whether the socket shows something to read right now: bytes, the peer's close, or an error.
bool ShowsIncoming(SocketHandle socket);
// As send() and recv(): the bytes moved, 0 for the peer's orderly close (receiving), -1 with
// LastSocketError() set. Writing to a connection the peer closed is an error, never a signal.
std::int64_t SendSome(SocketHandle socket, const char* data, std::int64_t size);
std::int64_t ReceiveSome(SocketHandle socket, char* data, std::int64_t size);
void CloseSocket(SocketHandle socket) noexcept;

// ---- connecting ----

// A non-blocking stream socket for address, its connect started. kNoSocket with error set when
// either step failed; pending is true while the connect goes on (wait until writable, then ask
// ConnectError).
SocketHandle StartConnect(const addrinfo& address, bool& pending, int& error);
// The outcome of a connect that was pending: 0, or why it failed.
int ConnectError(SocketHandle socket);
// Sends small writes at once (a request is one write).
void SendWithoutDelay(SocketHandle socket);

// ---- names ----

using Resolver = std::function<int(const char* host, const char* service, const addrinfo* hints,
                                   addrinfo** found)>;

// The stream-socket addresses of a numeric host (no name server asked); 0 or a lookup error code.
int LookUpNumeric(const QByteArray& host, const QByteArray& service, addrinfo** found);
// The stream-socket addresses of a host name by resolver (the system's when empty).
int LookUpName(const Resolver& resolver, const QByteArray& host, const QByteArray& service,
               addrinfo** found);
const addrinfo* NextAddress(const addrinfo* address);
void FreeAddresses(addrinfo* list) noexcept;
// The system's words for a lookup error code.
QString LookupErrorText(int code);
// Whether text is an IPv4 or IPv6 address rather than a name.
bool IsNumericAddress(const QByteArray& text);

// Raised by one thread, waited for by another through PollSocket on WaitHandle(): how a lookup's
// thread tells the waiting request that it has finished.
class WakeSignal {
public:
    // Raises Failure "Cannot start a name lookup: <why>".
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    SocketHandle WaitHandle() const { return waitEnd_; }
    void Raise() noexcept;

private:
    SocketHandle waitEnd_ = kNoSocket;
    SocketHandle raiseEnd_ = kNoSocket;
};

// ---- the process ----

// A peer that hangs up while a TLS record is written must give an error, not end the program.
void IgnoreBrokenPipes();

}  // namespace quillorn
