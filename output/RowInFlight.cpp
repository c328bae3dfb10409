#include "output/RowInFlight.h"

#include "output/SeenReviewStore.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <limits>
#include <optional>

namespace quillorn {
namespace {

// One line a row: the result file's name, the row's offset, its length, its digest and its ids,
// tab separated, the name and the ids percent-encoded so that no tab or line break of theirs can
// split the line.
struct Record {
    QString fileName;
    qint64 offset = 0;
    qint64 length = 0;
    QByteArray digest;
    QStringList ids;
};

// Tells the row from other bytes a file changed since holds at its place; it guards against
// accidents, not against anyone, and is taken of every row, so the quicker digest serves.
QByteArray Digest(QByteArrayView row) {
    return QCryptographicHash::hash(row, QCryptographicHash::Md5).toHex();
}

QByteArray Encode(const Record& record) {
    QByteArray line = record.fileName.toUtf8().toPercentEncoding();
    line += '\t' + QByteArray::number(record.offset) + '\t' + QByteArray::number(record.length) +
            '\t' + record.digest;
    for (const QString& id : record.ids)
        line += '\t' + id.toUtf8().toPercentEncoding();
    return line + '\n';
}

std::optional<Record> Decode(const QByteArray& bytes) {
    // Only the result files a run names itself; anything else in the record is not ours to touch.
    static const QRegularExpression resultFile(QStringLiteral("^data-?[0-9]+\\.tab$"));
    // The last whole line: a line without its break was cut while being appended, before its row
    // was started, and the line before it tells of the last row.
    const qsizetype end = bytes.lastIndexOf('\n');
    if (end < 0)
        return std::nullopt;
    // (A search from -1 would start at the end again.)
    const qsizetype start = end == 0 ? 0 : bytes.lastIndexOf('\n', end - 1) + 1;
    const QList<QByteArray> fields = bytes.sliced(start, end - start).split('\t');
    if (fields.size() < 4)
        return std::nullopt;
    Record record;
    record.fileName = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[0]));
    bool offsetRead = false;
    bool lengthRead = false;
    record.offset = fields[1].toLongLong(&offsetRead);
    record.length = fields[2].toLongLong(&lengthRead);
    record.digest = fields[3];
    // A hand-edited place past any file's end would overflow where the row ends.
    if (!offsetRead || !lengthRead || record.offset < 0 || record.length <= 0 ||
        record.length > std::numeric_limits<qint64>::max() - record.offset ||
        !resultFile.match(record.fileName).hasMatch())
        return std::nullopt;
    for (qsizetype i = 4; i < fields.size(); ++i)
        record.ids << QString::fromUtf8(QByteArray::fromPercentEncoding(fields[i]));
    return record;
}

QByteArray ReadRange(const QString& path, qint64 offset, qint64 length) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        throw FileReadFailure(FileReadFailure::Step::Open, path, file.errorString());
    const QByteArray bytes = file.read(length);
    if (bytes.size() != length)
        throw FileReadFailure(FileReadFailure::Step::Read, path, file.errorString());
    return bytes;
}

void Remember(const QStringList& ids, SeenReviewStore& store) {
    QStringList unknown;
    for (const QString& id : ids) {
        if (store.Contains(id))
            continue;
        store.Add(id);
        unknown << id;
    }
    store.Record(unknown);
}

// What became of the row: whole in the file, its ids remembered; torn, cut off; or not there.
void SettleRow(const Record& record, const QString& path, SeenReviewStore& store) {
    const QFileInfo info(path);
    if (!info.isFile())
        return;  // removed or moved since: nothing can be told, and the reviews come again
    const qint64 end = record.offset + record.length;
    if (info.size() >= end) {
        if (Digest(ReadRange(path, record.offset, record.length)) == record.digest)
            Remember(record.ids, store);
        return;
    }
    if (info.size() <= record.offset && info.size() != 0)
        return;  // the row never reached the file
    // Cutting needs the file to itself. One held by another program (a spreadsheet showing it)
    // keeps its torn tail: that costs no review, whose id was never remembered.
    LockedFile result;
    if (!result.Open(path, LockedFile::Mode::OpenOrAppend))
        return;
    qint64 size = result.Size();
    if (size > record.offset && size < end) {
        // A row holds no line break of its own, so a tail with one is not the torn row.
        if (ReadRange(path, record.offset, size - record.offset).contains('\n') ||
            !result.Truncate(record.offset))
            return;
        size = record.offset;
    }
    if (size == 0) {
        // The run made the file and ended before its header was in it.
        result.Close();
        QFile::remove(path);
    }
}

}  // namespace

RowInFlight::RowInFlight(AppDir dir) : dir_(std::move(dir)) {}

void RowInFlight::Settle(SeenReviewStore& store) {
    file_.Close();
    if (const std::optional<QByteArray> bytes = ReadWholeFile(FilePath())) {
        if (const std::optional<Record> record = Decode(*bytes))
            SettleRow(*record, dir_.FilePath(record->fileName), store);
    }
    Nothing();
}

void RowInFlight::Coming(const QString& resultFileName, qint64 offset, QByteArrayView row,
                         const QStringList& ids) {
    // Appended rather than written over the last record: emptying a file costs a journal entry of
    // the file system for every row, many times the row's own write.
    Open();
    file_.Write(Encode({resultFileName, offset, row.size(), Digest(row), ids}));
}

void RowInFlight::Nothing() {
    Open();
    if (file_.Size() != 0 && !file_.Truncate(0))
        throw OutputFailure(
            QStringLiteral("Cannot write file \"%1\". %2").arg(FilePath(), file_.ErrorText()));
}

void RowInFlight::Open() {
    if (!file_.IsOpen())
        file_.OpenForAppending(FilePath());
}

}  // namespace quillorn
