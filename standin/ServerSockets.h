// The socket calls of the stand-in servers (the loopback server and the stand-in proxy), whose form
// differs between systems. Every wait is cut into slices, so a server thread looks at its stop
// flag at least once a slice.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <cstdint>

namespace quillorn::standin {

using ServerSocket = std::intptr_t;
inline constexpr ServerSocket kNoServerSocket = -1;

// Writing to a client that hung up must fail, not end the program.
void IgnoreBrokenPipes();

// A socket listening on 127.0.0.1 at a port the system picks (port set to it). Throws
// std::runtime_error when there is none.
ServerSocket ListenOnLoopback(quint16& port);
// A connection accepted within sliceMs; kNoServerSocket when none came.
ServerSocket AcceptWithin(ServerSocket listener, int sliceMs);
// A connection to host:port, made while waiting; kNoServerSocket when it fails.
ServerSocket ConnectTo(const QByteArray& host, quint16 port);

// Readies an accepted or connected socket for the sliced reads and writes below.
void PrepareConnection(ServerSocket socket, int sliceMs);
// Some bytes: more than 0; 0 when the peer closed or the connection failed; -1 when the slice
// passed with nothing to move.
int ReceiveSlice(ServerSocket socket, char* data, int size, int sliceMs);
int SendSlice(ServerSocket socket, const char* data, int size, int sliceMs);

// After a TLS call failed as a system call: whether only the slice passed.
bool SliceElapsed();
// Before a TLS call that wants to read (or write) is repeated: waits up to a slice for the
// socket, where the socket itself does not.
void AwaitSlice(ServerSocket socket, bool forWriting, int sliceMs);

// Ends the sending side (the peer reads its end), then closes.
void ShutdownAndClose(ServerSocket socket) noexcept;
void CloseServerSocket(ServerSocket socket) noexcept;

}  // namespace quillorn::standin
