// The Windows twin of UserId.cpp: the account's security id (S-1-5-21-...), which, unlike the
// user's name, is never shared by two accounts (a local one and a domain one may both be "ivan").
#include "app/UserId.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

namespace quillorn {

namespace {

// Empty when the token cannot be read.
QString TokenUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    QString sid;
    if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        LPWSTR text = nullptr;
        const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
        if (::ConvertSidToStringSidW(user->User.Sid, &text)) {
            sid = QString::fromWCharArray(text);
            ::LocalFree(text);
        }
    }
    ::CloseHandle(token);
    return sid;
}

// The name the user logged on with, should the token be unreadable.
QString UserName() {
    wchar_t name[256 + 1];
    DWORD size = sizeof name / sizeof name[0];
    return ::GetUserNameW(name, &size) ? QString::fromWCharArray(name) : QString();
}

}  // namespace

QString CurrentUserId() {
    const QString sid = TokenUserSid();
    return sid.isEmpty() ? UserName() : sid;
}

}  // namespace quillorn
