// The system's own words for a failed Windows call, for the Windows twins of the platform layer
// (files named *_win.cpp), as SystemError.h gives them for an errno value.
#pragma once

#include <QString>
#include <cstdint>

namespace quillorn {

// The text of a GetLastError() code in the user's language ("There is not enough space on the
// disk."), without the line break the system appends; "Error <code>" when the system has none.
QString WindowsErrorText(std::uint32_t code);

// The text of the calling thread's last error (GetLastError()).
QString LastWindowsErrorText();

}  // namespace quillorn
