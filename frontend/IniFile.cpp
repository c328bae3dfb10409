#include "frontend/IniFile.h"

#include "output/LineSplit.h"
#include "platform/AtomicFile.h"

namespace quillorn {

namespace {

QString SectionHeaderName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return {};
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return {};
    return trimmed.mid(1, close - 1).trimmed();
}

bool IsSectionHeader(const QString& line) {
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(u'[') && trimmed.contains(u']');
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString Unquote(QString value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

}  // namespace

IniFile IniFile::FromBytes(const QByteArray& bytes) {
    IniFile ini;
    DecodedText decoded = DecodeByMark(bytes);
    ini.encoding_ = decoded.encoding;
    ini.withMark_ = decoded.hadMark;
    // Split by hand: a regular expression matches nothing in text that holds a lone surrogate,
    // which a UTF-16 file may. The line end after the last line does not open another line.
    ini.lines_ = SplitLines(decoded.text);
    return ini;
}

IniFile IniFile::Load(const QString& path) {
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    return bytes ? FromBytes(*bytes) : IniFile();
}

int IniFile::Find(const QString& section, const QString& key, int* endOfSection) const {
    // Only the first occurrence of the section counts, as with the profile functions.
    int found = -1;
    int end = -1;
    bool inSection = false;
    for (int i = 0; i < lines_.size(); ++i) {
        const QString& line = lines_[i];
        if (IsSectionHeader(line)) {
            if (inSection)
                break;
            inSection = SameName(SectionHeaderName(line), section);
            if (inSection)
                end = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!line.trimmed().isEmpty())
            end = i + 1;
        const qsizetype eq = line.indexOf(u'=');
        if (found < 0 && eq > 0 && SameName(line.left(eq).trimmed(), key))
            found = i;
    }
    if (endOfSection)
        *endOfSection = end;
    return found;
}

std::optional<QString> IniFile::Value(const QString& section, const QString& key) const {
    const int index = Find(section, key, nullptr);
    if (index < 0)
        return std::nullopt;
    const QString& line = lines_[index];
    return Unquote(line.mid(line.indexOf(u'=') + 1).trimmed());
}

void IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
    int end = -1;
    const int index = Find(section, key, &end);
    const QString line = key + u'=' + value;
    if (index >= 0) {
        lines_[index] = line;
    } else if (end >= 0) {
        lines_.insert(end, line);
    } else {
        lines_.append(u'[' + section + u']');
        lines_.append(line);
    }
}

QByteArray IniFile::ToBytes() const {
    QString text;
    for (const QString& line : lines_)
        text += line + QStringLiteral("\r\n");
    return EncodeText(text, encoding_, withMark_);
}

void IniFile::Save(const QString& path) const {
    ReplaceFileContents(path, ToBytes());
}

}  // namespace quillorn
