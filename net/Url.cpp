#include "net/Url.h"

#include <QUrl>
#include <algorithm>

#include "platform/Errors.h"
#include "platform/HexDigits.h"

namespace quillorn {
namespace {

// Bytes a request line cannot carry as they are: controls, space, DEL and every non-ASCII byte.
QByteArray EncodeUnsafe(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F) {
            out += '%';
            out += UpperHexDigit(b >> 4);
            out += UpperHexDigit(b);
        } else {
            out += c;
        }
    }
    return out;
}

Failure BadUrl(const QString& text, const char* why) {
    return Failure(QStringLiteral("Invalid URL \"%1\": %2").arg(text, QLatin1String(why)));
}

bool ValidNameHost(const QByteArray& host) {
    for (const char c : host) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return !host.isEmpty();
}

bool ValidIpv6(const QByteArray& host) {
    for (const char c : host) {
        const bool ok = (c >= 'a' && c <= 'f') || (c >= '0' && c <= '9') || c == ':' || c == '.';
        if (!ok)
            return false;
    }
    return host.contains(':');
}

// Host and port of an authority ("user@host:port" with the user part ignored).
void ParseAuthority(const QString& text, QString authority, Url& url) {
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0)
        authority = authority.mid(at + 1);
    QString host;
    QString port;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            throw BadUrl(text, "unclosed IPv6 address");
        host = authority.mid(1, close - 1).toLower();
        const QString rest = authority.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            throw BadUrl(text, "text after the IPv6 address");
        port = rest.mid(1);
        if (!ValidIpv6(host.toLatin1()))
            throw BadUrl(text, "malformed IPv6 address");
        url.host = host.toLatin1();
    } else {
        const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
        host = colon < 0 ? authority : authority.left(colon);
        if (colon >= 0)
            port = authority.mid(colon + 1);
        url.host = QUrl::toAce(host).toLower();
        if (!ValidNameHost(url.host))
            throw BadUrl(text, "missing or malformed host");
    }
    url.port = url.https ? 443 : 80;
    if (!port.isEmpty()) {
        bool ok = false;
        const int value = port.toInt(&ok);
        const bool digitsOnly =
            std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); });
        if (!ok || !digitsOnly || value < 1 || value > 65535)
            throw BadUrl(text, "bad port");
        url.port = value;
    }
}

// Removes "." and ".." segments from an absolute path.
QByteArray RemoveDotSegments(const QByteArray& path) {
    const QList<QByteArray> segments = path.split('/');
    QList<QByteArray> kept;
    for (qsizetype i = 1; i < segments.size(); ++i) {
        const QByteArray& segment = segments[i];
        const bool last = i == segments.size() - 1;
        if (segment == ".") {
            if (last)
                kept.append(QByteArray());
        } else if (segment == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
            if (last)
                kept.append(QByteArray());
        } else {
            kept.append(segment);
        }
    }
    return "/" + kept.join('/');
}

QByteArray ResolvePath(const QByteArray& baseTarget, const QByteArray& reference) {
    const qsizetype baseQuery = baseTarget.indexOf('?');
    const QByteArray basePath = baseQuery < 0 ? baseTarget : baseTarget.left(baseQuery);
    if (reference.isEmpty())
        return baseTarget;
    if (reference.startsWith('?'))
        return basePath + reference;
    QByteArray merged;
    if (reference.startsWith('/')) {
        merged = reference;
    } else {
        merged = basePath.left(basePath.lastIndexOf('/') + 1) + reference;
    }
    const qsizetype query = merged.indexOf('?');
    if (query < 0)
        return RemoveDotSegments(merged);
    return RemoveDotSegments(merged.left(query)) + merged.mid(query);
}

// Whether text begins with "scheme:" (RFC 3986 scheme characters).
bool HasScheme(const QByteArray& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':')
            return i > 0;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool schemeChar =
            letter || (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!schemeChar)
            return false;
    }
    return false;
}

// An absolute URL from its bytes (text is for messages). The host is read as UTF-8; the path and
// query keep their bytes, so a byte that is not UTF-8 is percent-encoded as it is.
Url ParseUrlBytes(const QString& text, const QByteArray& bytes) {
    const qsizetype mark = bytes.indexOf("://");
    if (mark <= 0)
        throw BadUrl(text, "no scheme");
    const QByteArray scheme = bytes.left(mark).toLower();
    Url url;
    if (scheme == "https") {
        url.https = true;
    } else if (scheme != "http") {
        throw Failure(QStringLiteral("Unsupported URL scheme \"%1\" in \"%2\"")
                          .arg(QString::fromUtf8(scheme), text));
    }
    const QByteArray rest = bytes.mid(mark + 3);
    qsizetype end = rest.size();
    for (const char stop : {'/', '?', '#'}) {
        const qsizetype at = rest.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    ParseAuthority(text, QString::fromUtf8(rest.left(end)), url);
    QByteArray target = rest.mid(end);
    const qsizetype fragment = target.indexOf('#');
    if (fragment >= 0)
        target.truncate(fragment);
    if (!target.startsWith('/'))
        target.prepend('/');
    url.target = EncodeUnsafe(target);
    return url;
}

}  // namespace

QByteArray Url::HostHeader() const {
    const QByteArray name = host.contains(':') ? "[" + host + "]" : host;
    return DefaultPort() ? name : name + ':' + QByteArray::number(port);
}

QByteArray Url::Authority() const {
    const QByteArray name = host.contains(':') ? "[" + host + "]" : host;
    return name + ':' + QByteArray::number(port);
}

QByteArray Url::Origin() const {
    return (https ? "https://" : "http://") + HostHeader();
}

QByteArray Url::Absolute() const {
    return Origin() + target;
}

Url ParseUrl(const QString& text) {
    return ParseUrlBytes(text, text.trimmed().toUtf8());
}

Url ResolveLocation(const Url& base, const QByteArray& location) {
    QByteArray reference = location.trimmed();
    if (reference.startsWith("//"))
        return ParseUrlBytes(QString::fromUtf8(location),
                             (base.https ? "https:" : "http:") + reference);
    if (HasScheme(reference))
        return ParseUrlBytes(QString::fromUtf8(location), reference);
    const qsizetype fragment = reference.indexOf('#');
    if (fragment >= 0)
        reference.truncate(fragment);
    Url url = base;
    url.target = EncodeUnsafe(ResolvePath(base.target, reference));
    return url;
}

}  // namespace quillorn
