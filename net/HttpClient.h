// The one HTTP/1.1 client every request goes through: GETs over plain TCP or TLS (OpenSSL),
// directly or through a forward proxy (https through a CONNECT tunnel), with redirects, a bounded
// cookie jar that lasts as long as the client (net/CookieStore.h), at most one open connection
// reused while the peer stays the same, and the event pump called while it waits so the window
// stays serviced.
//
// Failures: HttpStatusError (net/HttpStatusError.h) for a final response that is not a success;
// Failure with a descriptive message for everything else (name resolution, refused connection,
// time-outs, the whole-request deadline, TLS, a connection closed before the response was complete,
// a malformed response, too many redirects, a body over the size cap). A failed GET never delivers
// a partial result: a final body that runs to the end of a TLS connection the peer cut without
// close_notify fails as well, while a cut redirect or error body is only dropped. RequestAborted
// (not a Failure) when the abort check asks for it (SetAbortCheck).
//
// Not re-entrant: one request at a time (a GET started from the event pump during a GET fails).
// On Linux creating a client sets SIGPIPE to be ignored unless the program handles it already, so
// that a peer hanging up during a write is an error of that request, not the end of the process
// (Winsock raises no such signal).
#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkCookie>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "net/HttpOptions.h"
#include "net/HttpStatusError.h"
#include "net/SocketWait.h"
#include "platform/EventPump.h"

namespace quillorn {

class HttpClient {
public:
    // A chain may follow 14 redirects; the 15th fails with "Too many redirects".
    static constexpr int kRedirectMaximum = 15;
    static constexpr int kConnectPumpIntervalMs = 125;
    static constexpr int kReadPumpIntervalMs = 250;

    explicit HttpClient(EventPump pump = {});
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Text form: the final body decoded by its charset (Content-Type, then an HTML meta element or
    // an XML declaration; bytes map to U+0000-U+00FF when none is known).
    QString Get(const QString& url);

    // Stream form: appends the raw bytes of the final body to stream. After a redirect the stream
    // holds only the final body after what it held when the call began; after a failure it is
    // exactly as it was.
    void Get(const QString& url, QByteArray& stream);

    // Closes the connection (if any) and discards unread bytes. Never raises; settings, cookies,
    // ResponseCode and ResponseText stay.
    void ResetConnection() noexcept;

    // The code of the most recent status line (its second field cut at '.'; -1 when that is not an
    // integer, and before the first response), and that line as received without its line end.
    // A request that fails before its own status line arrives leaves both as they were.
    int ResponseCode() const;
    QString ResponseText() const;

    // The headers of every request (RequestHeaders), the proxy (ProxySettings), time-outs and the
    // body cap (RequestLimits): net/HttpOptions.h. New settings apply from the next request on.
    const RequestHeaders& Headers() const;
    void SetHeaders(const RequestHeaders& headers);
    const ProxySettings& Proxy() const;
    void SetProxy(const ProxySettings& proxy);
    const RequestLimits& Limits() const;
    void SetLimits(const RequestLimits& limits);

    // Waiting.
    void SetEventPump(EventPump pump);
    // Abandoning a request: while a request waits (connecting, the TLS handshake, reading,
    // writing), the check is asked each time the event pump has run. When it returns true the
    // request ends at once with RequestAborted (platform/Errors.h, "Request aborted"), which is not
    // a Failure; the client is left as after a failure: the connection is reset and the stream
    // form's stream holds what it held before the call. An empty check never aborts.
    void SetAbortCheck(std::function<bool()> check);
    // Host names are looked up on a thread of their own, waited for as a connection is (pumping,
    // the abort check, the connect time-out). resolver, with getaddrinfo's signature, replaces
    // getaddrinfo; it may still be running after the request has given up on it.
    void SetResolver(decltype(WaitSettings::resolver) resolver);

    // The cookies the jar would send to url (diagnostics and tests).
    QList<QNetworkCookie> CookiesFor(const QString& url) const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillorn
