#include <zlib.h>

#include <QFile>
#include <QList>

#include <stdexcept>

#include "tests/support/ZipArchive.h"

namespace quillorn::test {
namespace {

[[noreturn]] void Fail(const QString& path, const std::string& why) {
    throw std::runtime_error("zip archive " + path.toStdString() + ": " + why);
}

struct Entry {
    QString name;
    int method = 0;
    quint32 packedSize = 0;
    quint32 size = 0;
    quint32 localHeader = 0;
};

// The archive's bytes with little-endian reads that fail on a cut archive.
class Archive {
public:
    explicit Archive(const QString& path) : path_(path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            Fail(path, "cannot be opened");
        bytes_ = file.readAll();
    }

    quint32 At(qsizetype offset, int width) const {
        if (offset < 0 || offset + width > bytes_.size())
            Fail(path_, "cut short");
        quint32 value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = value << 8 | quint8(bytes_[offset + i]);
        return value;
    }

    // The central directory, from the end record (the last 64 KiB may hold a comment after it).
    QList<Entry> Entries() const {
        qsizetype end = bytes_.size() - 22;
        while (end >= 0 && At(end, 4) != 0x06054b50u && bytes_.size() - end < 0x10000 + 22)
            --end;
        if (end < 0 || At(end, 4) != 0x06054b50u)
            Fail(path_, "no end of the central directory");
        QList<Entry> entries;
        qsizetype at = At(end + 16, 4);
        for (quint32 n = At(end + 10, 2); n > 0; --n) {
            if (At(at, 4) != 0x02014b50u)
                Fail(path_, "broken central directory");
            Entry entry;
            entry.method = int(At(at + 10, 2));
            entry.packedSize = At(at + 20, 4);
            entry.size = At(at + 24, 4);
            const quint32 nameLength = At(at + 28, 2);
            entry.localHeader = At(at + 42, 4);
            At(at + 46 + nameLength - 1, 1);
            entry.name = QString::fromUtf8(bytes_.mid(at + 46, nameLength));
            entries << entry;
            at += 46 + nameLength + At(at + 30, 2) + At(at + 32, 2);
        }
        return entries;
    }

    QByteArray Data(const Entry& entry) const {
        const qsizetype local = entry.localHeader;
        if (At(local, 4) != 0x04034b50u)
            Fail(path_, "broken local header of " + entry.name.toStdString());
        const qsizetype start = local + 30 + At(local + 26, 2) + At(local + 28, 2);
        if (entry.packedSize > 0)
            At(start + entry.packedSize - 1, 1);
        const QByteArray packed = bytes_.mid(start, entry.packedSize);
        if (entry.method == 0)
            return packed;
        if (entry.method != 8)
            Fail(path_, entry.name.toStdString() + " is packed in an unknown way");
        return Inflate(packed, entry);
    }

private:
    QByteArray Inflate(const QByteArray& packed, const Entry& entry) const {
        QByteArray out(qsizetype(entry.size), Qt::Uninitialized);
        z_stream stream{};
        // Negative window bits: raw deflate data, as zip archives hold it.
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            Fail(path_, "zlib cannot start");
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
        stream.avail_in = uInt(packed.size());
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = uInt(out.size());
        const int result = inflate(&stream, Z_FINISH);
        const bool whole = result == Z_STREAM_END && stream.total_out == entry.size;
        inflateEnd(&stream);
        if (!whole)
            Fail(path_, entry.name.toStdString() + " does not inflate to its size");
        return out;
    }

    QString path_;
    QByteArray bytes_;
};

}  // namespace

QStringList ZipMemberNames(const QString& path) {
    QStringList names;
    for (const Entry& entry : Archive(path).Entries())
        names << entry.name;
    return names;
}

QByteArray ZipMember(const QString& path, const QString& member) {
    const Archive archive(path);
    for (const Entry& entry : archive.Entries()) {
        if (entry.name == member)
            return archive.Data(entry);
    }
    Fail(path, "no member " + member.toStdString());
}

}  // namespace quillorn::test
