#include "app/CardListFile.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "platform/AtomicFile.h"

namespace quillorn {

QString WithCrLfLineEnds(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QString result = text;
    return result.replace(lineEnd, QStringLiteral("\r\n"));
}

std::optional<CardListFile> CardListFile::Load(const QString& path) {
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const DecodedText decoded = DecodeByMark(ReadFileContents(path));
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
    if (target == TextEncoding::Windows1251 && DecodeWindows1251(EncodeWindows1251(body)) != body) {
        target = TextEncoding::Utf8;
        mark = true;
    }
    ReplaceFileContents(path, EncodeText(body, target, mark));
}

}  // namespace quillorn
