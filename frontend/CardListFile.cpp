#include "frontend/CardListFile.h"

#include "output/LineSplit.h"
#include "platform/AtomicFile.h"

namespace quillorn {

QString WithCrLfLineEnds(const QString& text) {
    // Split by hand: a regular expression matches nothing in text that holds a lone surrogate,
    // which a UTF-16 file may.
    QString result = SplitLines(text).join(QStringLiteral("\r\n"));
    if (text.endsWith(u'\r') || text.endsWith(u'\n'))
        result += QStringLiteral("\r\n");
    return result;
}

std::optional<CardListFile> CardListFile::Load(const QString& path, TextEncoding codePage) {
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return std::nullopt;
    const DecodedText decoded = DecodeFile(*bytes, codePage);
    CardListFile file;
    file.text = WithCrLfLineEnds(decoded.text);
    if (file.text.endsWith(QStringLiteral("\r\n")))
        file.text.chop(2);
    file.encoding = decoded.encoding;
    file.withMark = decoded.hadMark;
    return file;
}

void CardListFile::Save(const QString& path, TextEncoding codePage) const {
    QString body;
    if (!text.isEmpty())
        body = WithCrLfLineEnds(text) + QStringLiteral("\r\n");
    ReplaceFileContents(path, EncodeFile(body, encoding, withMark, codePage).bytes);
}

}  // namespace quillorn
