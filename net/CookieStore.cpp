#include "net/CookieStore.h"

#include <QDateTime>
#include <QNetworkCookieJar>
#include <algorithm>

namespace quillorn {
namespace {

bool IsExpired(const QNetworkCookie& cookie, const QDateTime& now) {
    return !cookie.isSessionCookie() && cookie.expirationDate() < now;
}

// "/x" matches "/x" and "/x/..." but not "/xy"; "/x/" matches everything below "/x/".
bool PathMatches(const QString& cookiePath, const QString& urlPath) {
    if (!urlPath.startsWith(cookiePath))
        return false;
    return urlPath.size() == cookiePath.size() || cookiePath.endsWith(QLatin1Char('/')) ||
           urlPath.at(cookiePath.size()) == QLatin1Char('/');
}

}  // namespace

// Only the jar's check of a cookie's domain against the answering URL (public suffixes
// included) is used; its storage, which slows down as it grows, is not.
class CookieStore::Validator : public QNetworkCookieJar {
public:
    bool Accepts(const QNetworkCookie& cookie, const QUrl& url) const {
        return validateCookie(cookie, url);
    }
};

CookieStore::CookieStore() : validator_(std::make_unique<Validator>()) {}
CookieStore::~CookieStore() = default;

void CookieStore::Store(const QList<QByteArray>& setCookieValues, const QUrl& url) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int taken = 0;
    for (const QByteArray& value : setCookieValues) {
        if (taken >= kMaxPerAnswer)
            return;  // a flood: the rest is not even parsed
        for (QNetworkCookie cookie : QNetworkCookie::parseCookies(value)) {
            if (taken++ >= kMaxPerAnswer)
                return;
            if (cookie.name().size() + cookie.value().size() > kMaxCookieBytes)
                continue;
            cookie.normalize(url);
            if (validator_->Accepts(cookie, url))
                Insert(cookie, now);
        }
    }
}

void CookieStore::Insert(const QNetworkCookie& cookie, const QDateTime& now) {
    const QString domain = cookie.domain();
    std::vector<Entry>& bucket = domains_[domain];
    // The cookie it replaces goes, and so do expired ones while the bucket is at hand.
    std::erase_if(bucket, [&](const Entry& entry) {
        const bool gone = IsExpired(entry.cookie, now) || (entry.cookie.name() == cookie.name() &&
                                                           entry.cookie.path() == cookie.path());
        if (gone)
            ages_.erase(entry.serial);
        return gone;
    });
    if (!IsExpired(cookie, now)) {
        bucket.push_back({cookie, nextSerial_});
        ages_.emplace(nextSerial_++, domain);
        if (static_cast<int>(bucket.size()) > kMaxPerDomain) {
            ages_.erase(bucket.front().serial);
            bucket.erase(bucket.begin());
        }
    }
    if (bucket.empty())
        domains_.remove(domain);
    while (static_cast<int>(ages_.size()) > kMaxTotal)
        DropOldest();
}

void CookieStore::DropOldest() {
    const auto oldest = ages_.begin();
    const auto bucket = domains_.find(oldest->second);
    if (bucket != domains_.end()) {
        // A bucket is in serial order: the store's oldest cookie is its domain's oldest.
        bucket->erase(bucket->begin());
        if (bucket->empty())
            domains_.erase(bucket);
    }
    ages_.erase(oldest);
}

QList<QNetworkCookie> CookieStore::CookiesFor(const QUrl& url) const {
    const QString host = url.host();
    const QString path = url.path().isEmpty() ? QStringLiteral("/") : url.path();
    const bool secure = url.scheme() == QLatin1String("https");
    const QDateTime now = QDateTime::currentDateTimeUtc();

    // The host itself (host-only cookies), then ".host" and every ".parent" domain of it.
    QStringList candidates{host, QLatin1Char('.') + host};
    for (qsizetype dot = host.indexOf(QLatin1Char('.')); dot >= 0;
         dot = host.indexOf(QLatin1Char('.'), dot + 1))
        candidates.append(host.mid(dot));
    std::vector<const Entry*> matches;
    for (const QString& domain : candidates) {
        const auto bucket = domains_.constFind(domain);
        if (bucket == domains_.cend())
            continue;
        for (const Entry& entry : *bucket) {
            if ((secure || !entry.cookie.isSecure()) && !IsExpired(entry.cookie, now) &&
                PathMatches(entry.cookie.path(), path))
                matches.push_back(&entry);
        }
    }
    std::sort(matches.begin(), matches.end(), [](const Entry* a, const Entry* b) {
        if (a->cookie.path().size() != b->cookie.path().size())
            return a->cookie.path().size() > b->cookie.path().size();
        return a->serial < b->serial;
    });
    QList<QNetworkCookie> cookies;
    cookies.reserve(static_cast<qsizetype>(matches.size()));
    for (const Entry* entry : matches)
        cookies.append(entry->cookie);
    return cookies;
}

QByteArray CookieStore::HeaderFor(const QUrl& url) const {
    QByteArray header;
    for (const QNetworkCookie& cookie : CookiesFor(url)) {
        if (!header.isEmpty())
            header += "; ";
        header += cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
    }
    return header;
}

}  // namespace quillorn
