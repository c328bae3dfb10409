// The HTTP client's cookie jar: keeps the cookies servers set and picks the ones a request
// carries, bounded as browsers bound theirs, so that a server flooding Set-Cookie lines can
// neither slow every later request down nor make the Cookie header grow without end.
//
// Rules (those of Qt's QNetworkCookieJar, which still parses and validates each cookie):
// - A cookie without Domain belongs to the answering host only; with Domain, to that domain and
//   its subdomains, provided the host lies within it and it is not a public suffix ("co.uk").
//   Without Path (or with one not starting with "/") its path is the request path up to its
//   last "/".
// - A request carries the cookies whose domain and path match its URL (a path matches itself and
//   what lies below it: "/x" matches "/x" and "/x/y", not "/xy"), secure ones only over https,
//   expired ones never; longer paths first, then the least recently set first.
// - A cookie replaces the stored one with the same name, domain and path; an expired cookie
//   deletes that one instead of being stored.
// Bounds: one answer sets at most kMaxPerAnswer cookies (later ones are ignored); a cookie whose
// name and value together exceed kMaxCookieBytes is ignored; a domain keeps at most
// kMaxPerDomain cookies and the store kMaxTotal, the least recently set dropped first. Storing a
// cookie costs the same however many the store holds.
//
// For a fuzz target: feed one answer's raw Set-Cookie header values (as received, one per header
// line) with the URL that answered to Store, then read HeaderFor or CookiesFor of any URL. Any
// bytes are acceptable; nothing raises.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QNetworkCookie>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace quillorn {

class CookieStore {
public:
    static constexpr int kMaxPerAnswer = 100;
    static constexpr int kMaxPerDomain = 180;
    static constexpr int kMaxTotal = 3000;
    static constexpr int kMaxCookieBytes = 4096;

    CookieStore();
    ~CookieStore();
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    // Takes the cookies of one answer from url: setCookieValues are its Set-Cookie header values.
    void Store(const QList<QByteArray>& setCookieValues, const QUrl& url);

    // The cookies a request to url carries, in the order the Cookie header lists them.
    QList<QNetworkCookie> CookiesFor(const QUrl& url) const;
    // The Cookie header value for url: "name=value" pairs joined by "; "; empty when none.
    QByteArray HeaderFor(const QUrl& url) const;

    // How many cookies are stored (expired ones until they are dropped included).
    int Count() const { return static_cast<int>(ages_.size()); }

private:
    struct Entry {
        QNetworkCookie cookie;
        std::uint64_t serial;  // when it was last set: higher is newer
    };
    class Validator;

    void Insert(const QNetworkCookie& cookie, const QDateTime& now);
    void DropOldest();

    std::unique_ptr<Validator> validator_;
    // Cookies by their domain ("host" for host-only ones, ".domain" otherwise), oldest first.
    QHash<QString, std::vector<Entry>> domains_;
    // Every stored cookie's serial with its domain: the order in which the store drops them.
    std::map<std::uint64_t, QString> ages_;
    std::uint64_t nextSerial_ = 0;
};

}  // namespace quillorn
