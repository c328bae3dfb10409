// How a connection waits for its socket: every wait services the event pump at its interval, asks
// the abort check after each pump, and ends at its own time-out or at the whole request's
// deadline, whichever comes first.
#pragma once

#include <chrono>
#include <functional>

#include "net/SocketHandle.h"
#include "platform/EventPump.h"

struct addrinfo;

namespace quillorn {

// Read by reference, so changes reach an open connection.
struct WaitSettings {
    EventPump pump;
    // Asked after every pump: true abandons the wait with RequestAborted.
    std::function<bool()> abortCheck;
    // Looks host names up, with getaddrinfo's signature; empty: getaddrinfo. Tests put a name
    // server that never answers in its place.
    std::function<int(const char* host, const char* service, const addrinfo* hints,
                      addrinfo** found)>
        resolver;
    int connectTimeoutMs = 120000;
    int readTimeoutMs = 120000;
    // The whole request, from connecting to the body's last byte: a server that trickles bytes
    // cannot keep it open for ever.
    int requestDeadlineMs = 300000;
    int connectPumpIntervalMs = 125;
    int readPumpIntervalMs = 250;
};

enum class WaitFor { Readable, Writable };

class SocketWaiter {
public:
    using Clock = std::chrono::steady_clock;

    explicit SocketWaiter(const WaitSettings& settings);

    const WaitSettings& Settings() const { return settings_; }

    // The request now served must end within requestDeadlineMs from now: every wait and every
    // checkpoint past that moment raises "Request took too long". EndRequest lifts the limit.
    void BeginRequest();
    void EndRequest() noexcept;

    // Before every read or write attempt: pumps when due (RequestAborted when the abort check
    // asks for it), then raises "Request took too long" past the request's deadline. Bytes that
    // keep trickling in never extend the request.
    void Checkpoint();

    // The time-out of the next wait for a byte (or for room to write one).
    Clock::time_point ReadDeadline() const;
    Clock::time_point ConnectDeadline() const;

    // Waits until socket is ready (or has an error the next call reports). Raises timeoutMessage at
    // deadline, "Request took too long" at the request's deadline (the limit that comes first
    // names the failure), RequestAborted as Checkpoint does.
    void WaitReady(SocketHandle socket, WaitFor what, Clock::time_point deadline,
                   int pumpIntervalMs, const char* timeoutMessage);

private:
    void PumpIfDue(int intervalMs);

    const WaitSettings& settings_;
    Clock::time_point lastPump_;
    Clock::time_point requestDeadline_ = Clock::time_point::max();
};

}  // namespace quillorn
