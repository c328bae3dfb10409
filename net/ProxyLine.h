// The proxy line of proxy.txt, "login:password@host:port" with the credentials optional. Its port
// goes through ParseToolkitInteger.
#pragma once

#include <QString>
#include <optional>

#include "platform/IntegerParsers.h"  // ParseToolkitInteger, for the port
#include "platform/TextEncoding.h"

namespace quillorn {

struct ProxyLine {
    QString host;
    QString portText;
    QString login;
    QString password;

    // Credentials end at the first "@", host at the first ":" after it, login at the first ":" of
    // the credentials; every part may be empty.
    static ProxyLine Parse(const QString& line);
};

// The first line of proxy.txt (read by its byte-order mark, else in the system's code page, see
// DecodeFile) trimmed of U+0000-U+0020 at both ends; nothing when no file is there or that line is
// empty. Raises Failure when the file is there but cannot be read, a link that leads nowhere
// included.
std::optional<QString> ReadProxyLine(const QString& path, TextEncoding codePage);

}  // namespace quillorn
