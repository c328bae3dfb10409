#include "net/HttpClient.h"

#include <QUrl>

#include "net/BodyText.h"
#include "net/CookieStore.h"
#include "net/ResponseReader.h"
#include "net/SocketCalls.h"
#include "net/TlsContext.h"
#include "net/Transport.h"
#include "net/Url.h"

namespace quillorn {
namespace {

// Which connection a request needs; a request that needs another closes the open one first.
struct ConnectionKey {
    bool viaProxy = false;
    QByteArray host;  // the peer: the origin, or the proxy
    int port = 0;
    bool tls = false;
    QByteArray tunnel;      // "host:port" a CONNECT tunnel leads to, through a proxy
    QByteArray tunnelAuth;  // the credentials the tunnel was opened with
    bool operator==(const ConnectionKey&) const = default;
};

// A header value must stay on its line, whatever a setting or a server put into it.
QByteArray HeaderValue(const QByteArray& value) {
    QByteArray clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    return clean;
}

void AddHeader(QByteArray& request, const char* name, const QByteArray& value) {
    if (value.isEmpty())
        return;
    request += name;
    request += ": ";
    request += HeaderValue(value);
    request += "\r\n";
}

// Status lines are ASCII in practice; a reason phrase that is not valid UTF-8 keeps its bytes as
// U+0000-U+00FF.
QString StatusText(const QByteArray& line) {
    QString text = QString::fromUtf8(line);
    if (text.contains(QChar::ReplacementCharacter) && !line.contains("\xEF\xBF\xBD"))
        text = QString::fromLatin1(line);
    return text;
}

// Characters up to U+00FF are one byte each; the rest (which 8-bit credentials cannot hold) are
// sent as UTF-8.
QByteArray CredentialBytes(const QString& text) {
    QByteArray bytes;
    for (const QChar c : text) {
        if (c.unicode() <= 0xFF) {
            bytes += static_cast<char>(c.unicode());
        } else {
            bytes += QString(c).toUtf8();
        }
    }
    return bytes;
}

bool IsRedirect(int code) {
    return code >= 300 && code < 400 && code != 304;
}

}  // namespace

class HttpClient::Impl {
public:
    explicit Impl(EventPump pump) : transport_(wait_) {
        wait_.pump = std::move(pump);
        SetLimits(limits_);
        IgnoreBrokenPipes();
    }

    ResponseHead Fetch(const QString& urlText, QByteArray& out);
    void Close() noexcept {
        transport_.Close();
        reader_.reset();
    }
    QList<QNetworkCookie> CookiesFor(const QString& url) const {
        return cookies_.CookiesFor(QUrl(url));
    }

    void SetLimits(const RequestLimits& limits) {
        // The reader of an open connection holds the old cap.
        if (limits.maxBodyBytes != limits_.maxBodyBytes)
            Close();
        limits_ = limits;
        wait_.connectTimeoutMs = limits.connectTimeoutMs;
        wait_.readTimeoutMs = limits.readTimeoutMs;
        wait_.requestDeadlineMs = limits.requestDeadlineMs;
    }

    RequestHeaders headers_;
    ProxySettings proxy_;
    RequestLimits limits_;
    WaitSettings wait_;
    int responseCode_ = -1;
    QString responseText_;

private:
    ConnectionKey KeyFor(const Url& url) const;
    QByteArray ProxyAuthorization() const;
    void EnsureConnection(const Url& url);
    void OpenTunnel(const Url& url);
    ResponseHead Exchange(const Url& url);
    ResponseHead ReadFinalHead(const Url* cookieUrl);
    QByteArray BuildRequest(const Url& url) const;
    void ReadBodyAndFinish(const ResponseHead& head, QByteArray& out);
    // The body of a redirect or an error answer, which the caller never gets as a result.
    QByteArray ReadUndeliveredBody(const ResponseHead& head);
    void StoreCookies(const ResponseHead& head, const Url& url);

    Transport transport_;
    std::unique_ptr<ResponseReader> reader_;
    ConnectionKey key_;
    bool reused_ = false;
    bool busy_ = false;
    TlsContext tls_;
    CookieStore cookies_;
};

ConnectionKey HttpClient::Impl::KeyFor(const Url& url) const {
    ConnectionKey key;
    if (proxy_.server.isEmpty()) {
        key.host = url.host;
        key.port = url.port;
        key.tls = url.https;
        return key;
    }
    if (proxy_.port < 1 || proxy_.port > 65535)
        throw Failure(QStringLiteral("Invalid proxy port %1").arg(proxy_.port));
    key.viaProxy = true;
    key.host = QUrl::toAce(proxy_.server);
    if (key.host.isEmpty())
        key.host = proxy_.server.toLatin1();
    key.port = proxy_.port;
    if (url.https) {
        key.tls = true;
        key.tunnel = url.Authority();
        key.tunnelAuth = ProxyAuthorization();
    }
    return key;
}

QByteArray HttpClient::Impl::ProxyAuthorization() const {
    if (!proxy_.basicAuthentication)
        return {};
    return "Basic " +
           CredentialBytes(proxy_.username + QLatin1Char(':') + proxy_.password).toBase64();
}

void HttpClient::Impl::EnsureConnection(const Url& url) {
    const ConnectionKey key = KeyFor(url);
    if (transport_.IsOpen() &&
        (!(key == key_) || transport_.HasIncoming() || !reader_ || reader_->HasBuffered()))
        Close();
    if (transport_.IsOpen()) {
        reused_ = true;
        return;
    }
    reused_ = false;
    key_ = key;
    transport_.Connect(key.host, key.port);
    reader_ = std::make_unique<ResponseReader>(transport_, limits_.maxBodyBytes);
    if (key.viaProxy && key.tls)
        OpenTunnel(url);
    if (key.tls) {
        if (!tls_)
            tls_ = MakeClientTlsContext();
        transport_.StartTls(tls_.get(), url.host);
    }
}

void HttpClient::Impl::OpenTunnel(const Url& url) {
    QByteArray request = "CONNECT " + url.Authority() + " HTTP/1.1\r\n";
    AddHeader(request, "Pragma", "no-cache");
    AddHeader(request, "Proxy-Connection", "keep-alive");
    AddHeader(request, "Host", url.HostHeader());
    AddHeader(request, "Accept", headers_.accept.toUtf8());
    AddHeader(request, "User-Agent", headers_.userAgent.toUtf8());
    AddHeader(request, "Proxy-Authorization", ProxyAuthorization());
    request += "\r\n";
    transport_.Write(request);
    // The proxy's answer sets nothing for the origin: its cookies are not the site's.
    const ResponseHead head = ReadFinalHead(nullptr);
    if (head.code >= 200 && head.code < 300) {
        if (reader_->HasBuffered())
            throw Failure(QStringLiteral("Malformed response: bytes after the proxy's answer"));
        return;
    }
    QByteArray body;
    try {
        reader_->ReadBody(head, body);
    } catch (const Failure&) {
        body.clear();  // the status is what matters; a broken body of a refusal is dropped
    }
    Close();
    throw HttpStatusError(head.code, responseText_, DecodeBody(head.Header("Content-Type"), body));
}

QByteArray HttpClient::Impl::BuildRequest(const Url& url) const {
    const bool plainViaProxy = key_.viaProxy && !url.https;
    QByteArray request = "GET " + (plainViaProxy ? url.Absolute() : url.target) + " HTTP/1.1\r\n";
    AddHeader(request, "Host", url.HostHeader());
    AddHeader(request, "Accept", headers_.accept.toUtf8());
    AddHeader(request, "Accept-Language", headers_.acceptLanguage.toUtf8());
    AddHeader(request, "User-Agent", headers_.userAgent.toUtf8());
    // Only the proxy may read its credentials: never sent to an origin, nor inside a tunnel.
    if (plainViaProxy)
        AddHeader(request, "Proxy-Authorization", ProxyAuthorization());
    AddHeader(request, "Cookie", cookies_.HeaderFor(QUrl(QString::fromLatin1(url.Absolute()))));
    request += "\r\n";
    return request;
}

void HttpClient::Impl::StoreCookies(const ResponseHead& head, const Url& url) {
    const QList<QByteArray> values = head.Values("Set-Cookie");
    if (!values.isEmpty())
        cookies_.Store(values, QUrl(QString::fromLatin1(url.Absolute())));
}

ResponseHead HttpClient::Impl::ReadFinalHead(const Url* cookieUrl) {
    for (int interim = 0;; ++interim) {
        ResponseHead head = reader_->ReadHead();
        responseText_ = StatusText(head.statusLine);
        responseCode_ = head.code;
        if (cookieUrl)
            StoreCookies(head, *cookieUrl);
        const bool skipped = head.code >= 100 && head.code < 200 && head.code != 101;
        if (!skipped)
            return head;
        if (interim >= 32)
            throw Failure(
                QStringLiteral("Malformed response: endless interim "
                               "responses"));
    }
}

ResponseHead HttpClient::Impl::Exchange(const Url& url) {
    for (int attempt = 0;; ++attempt) {
        EnsureConnection(url);
        const std::int64_t before = reader_->BytesReceived();
        try {
            transport_.Write(BuildRequest(url));
            return ReadFinalHead(&url);
        } catch (const ConnectionClosed&) {
            // A kept-alive connection the peer closed while it was idle: the request never
            // reached it, so it goes once more on a new connection.
            const bool nothingCame = reader_ && reader_->BytesReceived() == before;
            const bool retry = reused_ && nothingCame && attempt == 0;
            Close();
            if (!retry)
                throw;
        }
    }
}

QByteArray HttpClient::Impl::ReadUndeliveredBody(const ResponseHead& head) {
    QByteArray body;
    try {
        ReadBodyAndFinish(head, body);
    } catch (const CutOffBody&) {
        // Only a delivered body must be whole: a redirect's or an error's status still stands.
        Close();
    }
    return body;
}

void HttpClient::Impl::ReadBodyAndFinish(const ResponseHead& head, QByteArray& out) {
    const bool untilClose = reader_->ReadBody(head, out);
    const bool close = untilClose || head.HasToken("Connection", "close") ||
                       (key_.viaProxy && head.HasToken("Proxy-Connection", "close")) ||
                       (head.IsHttp10() && !head.HasToken("Connection", "keep-alive")) ||
                       reader_->HasBuffered();
    if (close)
        Close();
}

ResponseHead HttpClient::Impl::Fetch(const QString& urlText, QByteArray& out) {
    if (busy_)
        throw Failure(QStringLiteral("A request is already in progress"));
    busy_ = true;
    struct Done {
        bool& busy;
        Transport& transport;
        ~Done() {
            busy = false;
            transport.EndRequest();
        }
    } done{busy_, transport_};
    transport_.BeginRequest();

    const qsizetype start = out.size();
    Url url = ParseUrl(urlText);
    try {
        for (int redirects = 0;;) {
            const ResponseHead head = Exchange(url);
            if (IsRedirect(head.code)) {
                const QByteArray discarded = ReadUndeliveredBody(head);
                const QByteArray location = head.Header("Location");
                if (location.isEmpty())
                    throw HttpStatusError(head.code, responseText_,
                                          DecodeBody(head.Header("Content-Type"), discarded));
                // Reaching the maximum is a failure, not an empty success.
                if (++redirects >= kRedirectMaximum)
                    throw Failure(QStringLiteral("Too many redirects"));
                url = ResolveLocation(url, location);
                continue;
            }
            if (head.code == 101) {
                Close();  // the connection speaks another protocol now
                return head;
            }
            if (head.code >= 200 && head.code < 300) {
                ReadBodyAndFinish(head, out);
                return head;
            }
            const QByteArray body = ReadUndeliveredBody(head);
            throw HttpStatusError(head.code, responseText_,
                                  DecodeBody(head.Header("Content-Type"), body));
        }
    } catch (const HttpStatusError&) {
        out.resize(start);
        throw;
    } catch (...) {
        out.resize(start);
        Close();  // the connection is in an unknown state
        throw;
    }
}

// ---- HttpClient ----

HttpClient::HttpClient(EventPump pump) : impl_(std::make_unique<Impl>(std::move(pump))) {}
HttpClient::~HttpClient() = default;

QString HttpClient::Get(const QString& url) {
    QByteArray body;
    const ResponseHead head = impl_->Fetch(url, body);
    return DecodeBody(head.Header("Content-Type"), body);
}

void HttpClient::Get(const QString& url, QByteArray& stream) {
    impl_->Fetch(url, stream);
}

void HttpClient::ResetConnection() noexcept {
    impl_->Close();
}

int HttpClient::ResponseCode() const {
    return impl_->responseCode_;
}
QString HttpClient::ResponseText() const {
    return impl_->responseText_;
}

const RequestHeaders& HttpClient::Headers() const {
    return impl_->headers_;
}
void HttpClient::SetHeaders(const RequestHeaders& headers) {
    impl_->headers_ = headers;
}
const ProxySettings& HttpClient::Proxy() const {
    return impl_->proxy_;
}
void HttpClient::SetProxy(const ProxySettings& proxy) {
    impl_->proxy_ = proxy;
}
const RequestLimits& HttpClient::Limits() const {
    return impl_->limits_;
}
void HttpClient::SetLimits(const RequestLimits& limits) {
    impl_->SetLimits(limits);
}

void HttpClient::SetEventPump(EventPump pump) {
    impl_->wait_.pump = std::move(pump);
}
void HttpClient::SetAbortCheck(std::function<bool()> check) {
    impl_->wait_.abortCheck = std::move(check);
}
void HttpClient::SetResolver(decltype(WaitSettings::resolver) resolver) {
    impl_->wait_.resolver = std::move(resolver);
}
QList<QNetworkCookie> HttpClient::CookiesFor(const QString& url) const {
    return impl_->CookiesFor(url);
}

}  // namespace quillorn
