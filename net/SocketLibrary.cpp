#include "net/SocketLibrary.h"

namespace quillorn {

// POSIX sockets need no start.
void StartSocketLibrary() {}

}  // namespace quillorn
