// The per-run set-up of the HTTP client: the browser-like request headers the directory expects
// and, when proxy.txt names one, the proxy every request of the run goes through. It only touches
// the client; what the run must do besides (log a line, set the pause between cards to 0) is handed
// back, so this layer needs neither the run log nor the window.
#pragma once

#include <QString>

#include "platform/AppDir.h"
#include "platform/TextEncoding.h"

namespace quillorn {

class HttpClient;

inline constexpr const char* kRunUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/147.0.0.0 Safari/537.36";
inline constexpr const char* kRunAcceptLanguage = "ru-RU,ru;q=0.8,en-US;q=0.5,en;q=0.3";

struct RequestSetup {
    // A proxy line was applied: the run logs logMessage with RunLog::Add and sets the pause
    // between cards to 0. Without one, the client's proxy settings are as an earlier run left them.
    bool proxyApplied = false;
    // ": Используем прокси host:port" with ", login L, password abcde***" when there is a login.
    QString logMessage;
};

// Sets UserAgent and AcceptLanguage, then reads dir's "proxy.txt" (without a byte-order mark in
// the system's code page) and applies its first line.
// Raises Failure "''<port text>'' is not a valid integer value" for a port that is not an integer
// (ProxyServer has taken the new host by then; the rest of the proxy settings keep their values),
// and Failure when proxy.txt exists but cannot be read. A missing file changes nothing.
RequestSetup ApplyRequestSettings(HttpClient& client, const AppDir& dir, TextEncoding codePage);

}  // namespace quillorn
