#include "net/PlainStream.h"

#include <algorithm>

#include "net/Socket.h"
#include "net/SocketCalls.h"
#include "net/SocketWait.h"

namespace quillorn {

void PlainStream::Write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    auto deadline = waiter_.ReadDeadline();
    while (left > 0) {
        waiter_.Checkpoint();
        const std::int64_t chunk = std::min<qsizetype>(left, 1 << 20);
        const std::int64_t n = SendSome(socket_.Handle(), data, chunk);
        const int error = n < 0 ? LastSocketError() : 0;
        if (n >= 0) {
            data += n;
            left -= n;
            deadline = waiter_.ReadDeadline();
        } else if (IsWouldBlock(error)) {
            waiter_.WaitReady(socket_.Handle(), WaitFor::Writable, deadline,
                              waiter_.Settings().readPumpIntervalMs, "Write timed out");
        } else if (!IsInterrupted(error)) {
            throw ConnectionClosed(QStringLiteral("Cannot send to %1: %2")
                                       .arg(socket_.Peer(), SocketErrorText(error)));
        }
    }
}

qsizetype PlainStream::Read(char* data, qsizetype size) {
    const std::int64_t chunk = std::min<qsizetype>(size, 1 << 30);
    const auto deadline = waiter_.ReadDeadline();
    while (true) {
        waiter_.Checkpoint();
        const std::int64_t n = ReceiveSome(socket_.Handle(), data, chunk);
        if (n >= 0)
            return n;
        const int error = LastSocketError();
        if (IsWouldBlock(error)) {
            waiter_.WaitReady(socket_.Handle(), WaitFor::Readable, deadline,
                              waiter_.Settings().readPumpIntervalMs, "Read timed out");
        } else if (!IsInterrupted(error)) {
            throw ConnectionClosed(QStringLiteral("Cannot read from %1: %2")
                                       .arg(socket_.Peer(), SocketErrorText(error)));
        }
    }
}

}  // namespace quillorn
