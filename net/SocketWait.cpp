#include "net/SocketWait.h"

#include <QString>
#include <algorithm>

#include "net/SocketCalls.h"
#include "platform/Errors.h"

namespace quillorn {
namespace {

int MsUntil(SocketWaiter::Clock::time_point moment) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(moment - SocketWaiter::Clock::now())
            .count();
    return static_cast<int>(std::clamp<long long>(ms, 0, 1 << 30));
}

Failure TookTooLong() {
    return Failure(QStringLiteral("Request took too long"));
}

}  // namespace

SocketWaiter::SocketWaiter(const WaitSettings& settings)
    : settings_(settings), lastPump_(Clock::now()) {}

void SocketWaiter::BeginRequest() {
    requestDeadline_ = Clock::now() + std::chrono::milliseconds(settings_.requestDeadlineMs);
}

void SocketWaiter::EndRequest() noexcept {
    requestDeadline_ = Clock::time_point::max();
}

void SocketWaiter::PumpIfDue(int intervalMs) {
    const auto now = Clock::now();
    if (now - lastPump_ >= std::chrono::milliseconds(intervalMs)) {
        lastPump_ = now;
        Pump(settings_.pump);
        // The pump is where the window learns it is closing; the request ends right after.
        if (settings_.abortCheck && settings_.abortCheck())
            throw RequestAborted(QStringLiteral("Request aborted"));
    }
}

void SocketWaiter::Checkpoint() {
    PumpIfDue(settings_.readPumpIntervalMs);
    if (Clock::now() >= requestDeadline_)
        throw TookTooLong();
}

SocketWaiter::Clock::time_point SocketWaiter::ReadDeadline() const {
    return Clock::now() + std::chrono::milliseconds(settings_.readTimeoutMs);
}

SocketWaiter::Clock::time_point SocketWaiter::ConnectDeadline() const {
    return Clock::now() + std::chrono::milliseconds(settings_.connectTimeoutMs);
}

void SocketWaiter::WaitReady(SocketHandle socket, WaitFor what, Clock::time_point deadline,
                             int pumpIntervalMs, const char* timeoutMessage) {
    while (true) {
        PumpIfDue(pumpIntervalMs);
        const auto nextPump = lastPump_ + std::chrono::milliseconds(pumpIntervalMs);
        const auto until = std::min(deadline, requestDeadline_);
        const int timeout = std::min(MsUntil(until), MsUntil(nextPump));
        if (PollSocket(socket, what == WaitFor::Writable, timeout))
            return;
        if (Clock::now() >= until)
            throw deadline <= requestDeadline_ ? Failure(QString::fromLatin1(timeoutMessage))
                                               : TookTooLong();
    }
}

}  // namespace quillorn
