// What a caller sets on the HTTP client, in three groups: the headers every request carries, the
// forward proxy requests go through, and how long and how much the client waits and reads.
#pragma once

#include <QString>
#include <cstdint>

namespace quillorn {

struct RequestHeaders {
    static constexpr const char* kDefaultAccept =
        "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

    // An empty value leaves its header out.
    QString accept = QLatin1String(kDefaultAccept);
    QString userAgent;
    QString acceptLanguage;

    bool operator==(const RequestHeaders&) const = default;
};

// An empty server means direct connections. With basicAuthentication every request to the proxy
// (and every CONNECT) carries "Proxy-Authorization: Basic" of username:password, each character up
// to U+00FF taken as one byte (others as UTF-8). A request to an origin server, directly or inside
// a tunnel, never carries it: only the proxy may see its credentials. A tunnel opened with other
// credentials is not reused.
struct ProxySettings {
    QString server;
    int port = 0;  // a request through a proxy fails "Invalid proxy port" outside 1-65535
    QString username;
    QString password;
    bool basicAuthentication = false;

    bool operator==(const ProxySettings&) const = default;
};

// The defaults are the production values; tests shorten them.
struct RequestLimits {
    int connectTimeoutMs = 120000;
    // No byte for this long fails the request with "Read timed out".
    int readTimeoutMs = 120000;
    // A whole GET (connecting, the TLS handshake, the head and the body of every response of its
    // redirect chain) taking longer than this fails with "Request took too long", however steadily
    // bytes keep arriving.
    int requestDeadlineMs = 300000;
    // A larger body fails with "Response too large".
    std::int64_t maxBodyBytes = 256 * 1024 * 1024;

    bool operator==(const RequestLimits&) const = default;
};

}  // namespace quillorn
