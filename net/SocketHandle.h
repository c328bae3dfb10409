// How the connection code names an open socket: a file descriptor on Linux, a SOCKET on Windows,
// both held in one integer type wide enough for either.
#pragma once

#include <cstdint>

namespace quillorn {

using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

}  // namespace quillorn
