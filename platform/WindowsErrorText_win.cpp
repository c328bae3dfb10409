#include "platform/WindowsErrorText.h"

#include <windows.h>

namespace quillorn {

QString WindowsErrorText(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    // Language 0: the thread's, then the user's, then the system's language, as Windows chooses.
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text;
    if (length > 0 && buffer)
        text = QString::fromWCharArray(buffer, static_cast<qsizetype>(length)).trimmed();
    if (buffer)
        ::LocalFree(buffer);
    if (text.isEmpty())
        return QStringLiteral("Error %1").arg(code);
    return text;
}

QString LastWindowsErrorText() {
    return WindowsErrorText(::GetLastError());
}

}  // namespace quillorn
