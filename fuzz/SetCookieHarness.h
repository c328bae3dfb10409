// Set-Cookie values as a server may send them, each on a header line of its own, read the way the
// client reads an answer's head and kept in the client's cookie store. Shared by the fuzz target
// and the test that replays its saved inputs.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include "fuzz/FuzzTarget.h"
#include "fuzz/HttpResponseHarness.h"
#include "net/CookieStore.h"
#include "net/ResponseReader.h"
#include "platform/Errors.h"

namespace quillorn::fuzz {

// The cookies a request to url would carry: never more than the store holds, never a secure one
// over http, none beyond the size a cookie may have, and a Cookie header no longer than they are.
inline QString CheckCookiesFor(const CookieStore& store, const QUrl& url) {
    const QList<QNetworkCookie> cookies = store.CookiesFor(url);
    if (cookies.size() > store.Count())
        return QStringLiteral("%1 cookies for %2 out of %3")
            .arg(cookies.size())
            .arg(url.toString())
            .arg(store.Count());
    qsizetype bound = 0;
    for (const QNetworkCookie& cookie : cookies) {
        const qsizetype size = cookie.name().size() + cookie.value().size();
        if (size > CookieStore::kMaxCookieBytes)
            return QStringLiteral("a cookie of %1 bytes kept").arg(size);
        if (cookie.isSecure() && url.scheme() != QStringLiteral("https"))
            return QStringLiteral("a secure cookie sent to ") + url.toString();
        bound += cookie.toRawForm(QNetworkCookie::NameAndValueOnly).size() + 2;
    }
    const qsizetype header = store.HeaderFor(url).size();
    if (header > bound)
        return QStringLiteral("a Cookie header of %1 bytes for %2 cookies")
            .arg(header)
            .arg(cookies.size());
    return {};
}

// One answer's cookies stored, then the same answer again: at most the per-answer bound is kept,
// and a second identical answer replaces what the first set instead of adding to it.
inline QString CheckCookieStore(const QList<QByteArray>& values) {
    CookieStore store;
    const QUrl origin(QStringLiteral("https://www.2gis.ru/rostov/firm/70000001"));
    store.Store(values, origin);
    const int first = store.Count();
    if (first > CookieStore::kMaxPerAnswer || first > values.size())
        return QStringLiteral("%1 cookies kept from an answer of %2").arg(first).arg(values.size());
    store.Store(values, origin);
    if (store.Count() != first)
        return QStringLiteral("the same answer again took the store from %1 to %2 cookies")
            .arg(first)
            .arg(store.Count());
    for (const char* url : {"https://www.2gis.ru/rostov/firm/70000001", "http://www.2gis.ru/",
                            "https://2gis.ru/rostov", "https://public-api.reviews.2gis.com/2.0"}) {
        if (QString broken = CheckCookiesFor(store, QUrl(QLatin1String(url))); !broken.isEmpty())
            return broken;
    }
    return {};
}

// The first byte sets how many bytes each read hands over; the rest holds the Set-Cookie values,
// one a line (at most 500). Every value must reach the client as one value of its own, whole and
// in order: a cookie merged into another, cut or lost would be sent wrongly or not at all. Then
// the store must keep its bounds.
inline QString CheckSetCookies(const QByteArray& input) {
    if (input.isEmpty())
        return {};
    QList<QByteArray> values = input.mid(1).split('\n');
    if (values.size() > 500)
        values.resize(500);
    QByteArray answer = "HTTP/1.1 200 OK\r\n";
    for (QByteArray& value : values) {
        if (value.endsWith('\r'))
            value.chop(1);
        answer += "Set-Cookie: " + value + "\r\n";
        value = value.trimmed();
    }
    answer += "Content-Length: 0\r\n\r\n";

    PiecewiseSource source(answer.constData(), static_cast<size_t>(answer.size()),
                           1 + static_cast<unsigned char>(input[0]) % 64);
    ResponseReader reader(source, 1 << 16);
    ResponseHead head;
    try {
        head = reader.ReadHead();
    } catch (const Failure& failure) {
        // Only a head beyond the reader's limits may be refused.
        bool longLine = false;
        for (const QByteArray& value : values)
            longLine = longLine || value.size() + 16 > ResponseReader::kMaxLine;
        if (longLine || answer.size() > ResponseReader::kMaxHead)
            return {};
        return QStringLiteral("a head of %1 bytes refused: %2")
            .arg(answer.size())
            .arg(failure.Message());
    }
    const QList<QByteArray> received = head.Values("Set-Cookie");
    if (received != values)
        return QStringLiteral("%1 Set-Cookie values sent, %2 received")
            .arg(values.size())
            .arg(received.size());
    return CheckCookieStore(received);
}

}  // namespace quillorn::fuzz
