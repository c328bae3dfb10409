// Set-Cookie values as a server may send them, each on a header line of its own, read the way the
// client reads an answer's head. Shared by the fuzz target and the test that replays its saved
// inputs.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "fuzz/FuzzTarget.h"
#include "fuzz/HttpResponseHarness.h"
#include "net/ResponseReader.h"
#include "platform/Errors.h"

namespace quillorn::fuzz {

// The first byte sets how many bytes each read hands over; the rest holds the Set-Cookie values,
// one a line (at most 500). Every value must reach the client as one value of its own, whole and
// in order: a cookie merged into another, cut or lost would be sent wrongly or not at all.
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
        return QStringLiteral("%1 Set-Cookie values sent, %2 received, %3 the same")
            .arg(values.size())
            .arg(received.size())
            .arg(received == values);
    return {};
}

}  // namespace quillorn::fuzz
