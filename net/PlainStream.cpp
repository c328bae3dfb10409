#include "net/PlainStream.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "net/Socket.h"
#include "net/SocketWait.h"
#include "platform/SystemError.h"

namespace quillorn {

void PlainStream::Write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    auto deadline = waiter_.ReadDeadline();
    while (left > 0) {
        waiter_.Checkpoint();
        const auto chunk = static_cast<size_t>(std::min<qsizetype>(left, 1 << 20));
        const ssize_t n = send(socket_.Fd(), data, chunk, MSG_NOSIGNAL);
        if (n >= 0) {
            data += n;
            left -= n;
            deadline = waiter_.ReadDeadline();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waiter_.WaitReady(socket_.Fd(), WaitFor::Writable, deadline,
                              waiter_.Settings().readPumpIntervalMs, "Write timed out");
        } else if (errno != EINTR) {
            throw ConnectionClosed(QStringLiteral("Cannot send to %1: %2")
                                       .arg(socket_.Peer(), SystemErrorText(errno)));
        }
    }
}

qsizetype PlainStream::Read(char* data, qsizetype size) {
    const auto chunk = static_cast<size_t>(std::min<qsizetype>(size, 1 << 30));
    const auto deadline = waiter_.ReadDeadline();
    while (true) {
        waiter_.Checkpoint();
        const ssize_t n = recv(socket_.Fd(), data, chunk, 0);
        if (n >= 0)
            return n;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waiter_.WaitReady(socket_.Fd(), WaitFor::Readable, deadline,
                              waiter_.Settings().readPumpIntervalMs, "Read timed out");
        } else if (errno != EINTR) {
            throw ConnectionClosed(QStringLiteral("Cannot read from %1: %2")
                                       .arg(socket_.Peer(), SystemErrorText(errno)));
        }
    }
}

}  // namespace quillorn
