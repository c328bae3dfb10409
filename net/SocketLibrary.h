// The system's socket library, made ready before a first socket is made: nothing to do on Linux;
// Winsock started once on Windows and stopped when the program ends. The client's sockets and the
// tests' loopback servers share it.
#pragma once

namespace quillorn {

void StartSocketLibrary();

}  // namespace quillorn
