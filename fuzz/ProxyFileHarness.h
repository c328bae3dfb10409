// proxy.txt as the user may have written it, read the way a run reads it: the file's first line,
// taken apart into credentials and address, its port through the integer conversion, and the
// result handed to the HTTP client with the log line the run shows. Shared by the fuzz target and
// the test that replays its saved inputs.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "fuzz/FuzzTarget.h"
#include "fuzz/ScratchFolder.h"
#include "net/HttpClient.h"
#include "net/ProxyLine.h"
#include "net/RequestSettings.h"
#include "platform/AppDir.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"

namespace quillorn::fuzz {

// The port conversion checked against the C library's: spaces, a sign, then decimal digits, or
// hexadecimal ones after "$" or "0x" that give a 32-bit pattern. Returns what the conversion
// should give, or nothing when it should refuse the text.
inline std::optional<int> ExpectedPort(const QString& text) {
    const QByteArray latin = text.toLatin1();
    if (QString::fromLatin1(latin) != text)
        return std::nullopt;  // only ASCII can be a number
    qsizetype i = 0;
    while (i < latin.size() && latin[i] == ' ')
        ++i;
    bool negative = false;
    if (i < latin.size() && (latin[i] == '+' || latin[i] == '-'))
        negative = latin[i++] == '-';
    int base = 10;
    if (latin.mid(i).startsWith('$')) {
        base = 16;
        i += 1;
    } else if (latin.mid(i).startsWith("0x") || latin.mid(i).startsWith("0X")) {
        base = 16;
        i += 2;
    }
    const QByteArray digits = latin.mid(i);
    if (digits.isEmpty())
        return std::nullopt;
    for (const char c : digits) {
        const bool decimal = c >= '0' && c <= '9';
        const bool hex = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!decimal && !(base == 16 && hex))
            return std::nullopt;
    }
    errno = 0;
    const unsigned long long magnitude = std::strtoull(digits.constData(), nullptr, base);
    if (errno == ERANGE)
        return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        const auto bits = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return std::nullopt;
    return static_cast<int>(negative ? -static_cast<long long>(magnitude)
                                     : static_cast<long long>(magnitude));
}

// The first line of the decoded file, up to its first CR or LF.
inline QString FirstLine(const QByteArray& bytes, TextEncoding codePage) {
    const QString text = DecodeFile(bytes, codePage).text;
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    return text.left(end);
}

inline QString CheckProxyLineParts(const QString& line) {
    const ProxyLine proxy = ProxyLine::Parse(line);
    if (proxy.login.contains(u':') || proxy.login.contains(u'@') || proxy.password.contains(u'@') ||
        proxy.host.contains(u':'))
        return QStringLiteral("a separator inside a part of ") + Shown(line);
    // Nothing of the line may be lost: it is the parts joined by the separators it had.
    const QString address =
        proxy.host + (proxy.portText.isEmpty() ? QString() : u':' + proxy.portText);
    const QString credentials =
        proxy.login + (proxy.password.isEmpty() ? QString() : u':' + proxy.password);
    const QStringList forms = {address,
                               address + u':',
                               credentials + u'@' + address,
                               credentials + u'@' + address + u':',
                               proxy.login + QStringLiteral(":@") + address,
                               proxy.login + QStringLiteral(":@") + address + u':'};
    const bool credentialed = line.contains(u'@');
    for (int i = 0; i < forms.size(); ++i) {
        if (forms[i] == line && credentialed == (i >= 2))
            return {};
    }
    return QStringLiteral("the parts of %1 do not make up the line").arg(Shown(line));
}

inline QString CheckProxyFileUnder(const QByteArray& bytes, TextEncoding codePage) {
    if (!WriteScratchFile(QStringLiteral("proxy.txt"), bytes))
        return QStringLiteral("cannot write the scratch proxy.txt");
    const AppDir dir(ScratchFolder().path());
    std::optional<QString> line;
    try {
        line = ReadProxyLine(dir.FilePath(QStringLiteral("proxy.txt")), codePage);
    } catch (const Failure& failure) {
        return QStringLiteral("a readable proxy.txt failed: ") + failure.Message();
    }
    const QString first = FirstLine(bytes, codePage);
    if (!line) {
        for (const QChar c : first) {
            if (c.unicode() > 0x20)
                return QStringLiteral("no proxy line read from ") + Shown(first);
        }
        return {};
    }
    if (line->isEmpty() || line->front().unicode() <= 0x20 || line->back().unicode() <= 0x20 ||
        !first.contains(*line))
        return QStringLiteral("%1 is not the trimmed first line %2")
            .arg(Shown(*line), Shown(first));
    if (QString broken = CheckProxyLineParts(*line); !broken.isEmpty())
        return broken;

    const ProxyLine proxy = ProxyLine::Parse(*line);
    const std::optional<int> port = ExpectedPort(proxy.portText);
    HttpClient client;
    RequestSetup setup;
    try {
        setup = ApplyRequestSettings(client, dir, codePage);
    } catch (const Failure& failure) {
        if (port)
            return QStringLiteral("port %1 refused: %2")
                .arg(Shown(proxy.portText), failure.Message());
        const QString expected =
            QStringLiteral("''%1'' is not a valid integer value").arg(proxy.portText);
        if (failure.Message() != expected || client.Proxy().server != proxy.host)
            return QStringLiteral("port %1 refused with %2")
                .arg(Shown(proxy.portText), Shown(failure.Message()));
        return {};
    }
    if (!port)
        return QStringLiteral("port %1 taken as %2")
            .arg(Shown(proxy.portText))
            .arg(client.Proxy().port);
    const ProxySettings& held = client.Proxy();
    if (!setup.proxyApplied || held.port != *port || held.server != proxy.host ||
        held.username != proxy.login || held.password != proxy.password ||
        held.basicAuthentication == proxy.login.isEmpty())
        return QStringLiteral("the client does not hold the proxy of ") + Shown(*line);
    // The log line may show the password's first five characters, never more.
    const QString message = setup.logMessage;
    if (!proxy.login.isEmpty()) {
        const qsizetype shown = message.lastIndexOf(QStringLiteral(", password "));
        if (shown < 0 || !message.endsWith(QStringLiteral("***")) ||
            message.size() - (shown + 11) - 3 > 5)
            return QStringLiteral("the log line %1 shows too much of the password")
                .arg(Shown(message));
    } else if (message.contains(QStringLiteral(", password "))) {
        return QStringLiteral("a password logged without a login: ") + Shown(message);
    }
    return {};
}

// The file read under either code page a system may have.
inline QString CheckProxyFile(const QByteArray& bytes) {
    for (const TextEncoding codePage : {TextEncoding::Windows1251, TextEncoding::Utf8}) {
        if (QString broken = CheckProxyFileUnder(bytes, codePage); !broken.isEmpty())
            return broken;
    }
    return {};
}

}  // namespace quillorn::fuzz
