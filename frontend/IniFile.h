// A small INI document in the manner of the Windows profile functions: sections and keys match
// without regard to letter case, the first occurrence wins, values are trimmed and lose one pair of
// enclosing quotes. Setting a value keeps every other line of the file, so comments, other sections
// and keys Quillorn does not know survive a save; the file keeps the encoding it was read in.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/IntegerParsers.h"  // ParseIniInteger, for the values
#include "platform/TextEncoding.h"

namespace quillorn {

class IniFile {
public:
    // An empty document (a file that does not exist yet), written in the single-byte code page.
    IniFile() = default;
    // The document held by bytes, decoded by its byte-order mark.
    static IniFile FromBytes(const QByteArray& bytes);
    // The file at path, or an empty document when there is none; raises Failure when the file is
    // there but cannot be read.
    static IniFile Load(const QString& path);

    std::optional<QString> Value(const QString& section, const QString& key) const;
    // Replaces the key's first occurrence in the section, or appends the key at the end of the
    // section, or appends the section with the key at the end of the document.
    void SetValue(const QString& section, const QString& key, const QString& value);

    QByteArray ToBytes() const;
    // Replaced atomically; raises Failure when it cannot be written.
    void Save(const QString& path) const;

private:
    // Index of the first line of the key in the section, or -1; endOfSection receives the index
    // after the section's last non-blank line (-1 when the section is absent).
    int Find(const QString& section, const QString& key, int* endOfSection) const;

    QStringList lines_;
    TextEncoding encoding_ = TextEncoding::Windows1251;
    bool withMark_ = false;
};

}  // namespace quillorn
