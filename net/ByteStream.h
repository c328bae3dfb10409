// The byte streams a connection carries: a source a response is read from, and the two-way stream
// of an open connection (plain TCP, or TLS over it). Reads and writes raise Failure;
// ConnectionClosed marks the failures after which a request on a reused connection may be sent
// again on a new one (the peer had closed or reset it).
#pragma once

#include <QByteArray>

#include "platform/Errors.h"

namespace quillorn {

class ConnectionClosed : public Failure {
public:
    using Failure::Failure;
};

// A source of bytes a response is read from: a connection, or memory in the fuzzer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes into data; 0 at the end of the stream. Raises Failure on errors.
    virtual qsizetype Read(char* data, qsizetype size) = 0;
    // After Read returned 0: whether the peer announced that end. False for a TLS connection cut
    // without the peer's close_notify, where the last bytes may be missing; plain TCP cannot tell.
    virtual bool EndedCleanly() const { return true; }
};

// The stream over an open socket. Every read and write waits as the connection's SocketWaiter
// says (event pump, abort check, time-outs, the request's deadline).
class ByteStream : public ByteSource {
public:
    // Sends all of bytes; ConnectionClosed when the peer has gone.
    virtual void Write(const QByteArray& bytes) = 0;
    // Whether bytes have arrived that the socket no longer shows (records decrypted ahead).
    virtual bool HasBuffered() const { return false; }
};

}  // namespace quillorn
