#include "net/ProxyLine.h"

#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "platform/TrimControls.h"

namespace quillorn {

ProxyLine ProxyLine::Parse(const QString& line) {
    ProxyLine result;
    QString address = line;
    const qsizetype at = line.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString credentials = line.left(at);
        address = line.mid(at + 1);
        const qsizetype colon = credentials.indexOf(QLatin1Char(':'));
        result.login = colon < 0 ? credentials : credentials.left(colon);
        if (colon >= 0)
            result.password = credentials.mid(colon + 1);
    }
    const qsizetype colon = address.indexOf(QLatin1Char(':'));
    result.host = colon < 0 ? address : address.left(colon);
    if (colon >= 0)
        result.portText = address.mid(colon + 1);
    return result;
}

std::optional<QString> ReadProxyLine(const QString& path, TextEncoding codePage) {
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileReadFailure& failure) {
        if (failure.FailedStep() != FileReadFailure::Step::Open)
            throw;
        throw Failure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, failure.Reason()));
    }
    if (!bytes)
        return std::nullopt;
    const QString text = DecodeFile(*bytes, codePage).text;
    qsizetype end = 0;
    while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
        ++end;
    const QString first = TrimControls(text.left(end));
    if (first.isEmpty())
        return std::nullopt;
    return first;
}

}  // namespace quillorn
