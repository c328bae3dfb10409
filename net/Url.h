// The parts of an http or https URL the client needs, taken from the text as the caller wrote it
// (the path and query are sent exactly as given), and the resolution of a redirect's Location.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillorn {

struct Url {
    bool https = false;
    QByteArray host;    // ASCII (international names in their ACE form), IPv6 without brackets
    int port = 0;       // the scheme's default when the URL names none
    QByteArray target;  // path and query, "/" when empty; no fragment

    bool DefaultPort() const { return port == (https ? 443 : 80); }
    // "host" or "host:port" (brackets around an IPv6 address): the Host header, CONNECT's target.
    QByteArray HostHeader() const;
    QByteArray Authority() const;  // always with the port
    QByteArray Origin() const;     // "https://host[:port]"
    QByteArray Absolute() const;   // Origin() + target
};

// Parses an absolute http(s) URL. Characters a request line cannot carry (controls, spaces,
// non-ASCII) are percent-encoded as UTF-8; everything else is kept as written. Raises Failure
// for another scheme, a missing or malformed host, or a bad port.
Url ParseUrl(const QString& text);

// The URL a Location value names, relative to base: a missing scheme, host and port come from
// base, a relative path is joined to base's path ("." and ".." segments removed). The value is
// taken as the bytes received: the host is read as UTF-8, while every byte of the path and query
// that a request line cannot carry is percent-encoded as it is (a byte that is not UTF-8 stays
// that byte, never U+FFFD).
Url ResolveLocation(const Url& base, const QByteArray& location);

}  // namespace quillorn
