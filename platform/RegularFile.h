// Opening a named file that must be an ordinary file, without ever waiting in the open: a FIFO, a
// device or a socket put in place of a state or result file is refused at once, where a plain
// open would block until some other program opened the other end, beyond the reach of any signal.
// For the platform's own file layers; the descriptor is the C library's. On Windows it stands for
// a handle shared for reading, writing and deleting (readers are unaffected, another file may be
// renamed over the name), and anything but a disk file (a pipe, a device such as NUL) is refused.
#pragma once

#include <QString>

namespace quillorn {

// Opens path with the system's open flags (O_RDONLY, O_WRONLY | O_CREAT | O_APPEND, ...) plus
// close-on-exec, new files with mode 0666 less the umask. Returns a blocking descriptor of a
// regular file, or -1 with the reason in errorText: the system's error text, or "It is not a
// regular file." for anything else that bears the name.
int OpenRegularFile(const QString& path, int flags, QString& errorText);

}  // namespace quillorn
