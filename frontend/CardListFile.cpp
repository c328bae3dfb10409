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

std::optional<CardListFile> CardListFile::Load(const QString& path) {
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes)
        return std::nullopt;
    const DecodedText decoded = DecodeByMark(*bytes);
    CardListFile file;
    file.text = WithCrLfLineEnds(decoded.text);
    if (file.text.endsWith(QStringLiteral("\r\n")))
        file.text.chop(2);
    file.encoding = decoded.encoding;
    file.withMark = decoded.hadMark;
    return file;
}

void CardListFile::Save(const QString& path) const {
    QString body;
    if (!text.isEmpty())
        body = WithCrLfLineEnds(text) + QStringLiteral("\r\n");
    TextEncoding target = encoding;
    bool mark = withMark;
    if (target == TextEncoding::Windows1251) {
        // Bytes that begin like a byte-order mark would be read back in another encoding.
        const QByteArray single = EncodeWindows1251(body);
        if (DecodeWindows1251(single) != body || DecodeByMark(single).hadMark) {
            target = TextEncoding::Utf8;
            mark = true;
        }
    }
    ReplaceFileContents(path, EncodeText(body, target, mark));
}

}  // namespace quillorn
