#include "output/SeenReviewStore.h"

#include "output/LineSplit.h"
#include "output/RunLog.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"

#include <algorithm>

namespace quillorn {

namespace {

QString Lines(const QStringList& ids) {
    QString text;
    for (const QString& id : ids) {
        text += id;
        text += QLatin1String("\r\n");
    }
    return text;
}

// Bytes appended to a file without a mark hold text when the next run reads them back as text:
// Windows-1251 has every character, and bytes at the start of a file must not read as a mark
// ("яю..." first) or, under a UTF-8 code page, as UTF-8. UTF-8 appended to UTF-8 stays UTF-8, and
// Windows-1251 appended to a file that is not UTF-8 keeps it so.
bool AppendHolds(const QString& text, const QByteArray& bytes, TextEncoding encoding, bool atStart,
                 TextEncoding codePage) {
    if (atStart)
        return DecodeFile(bytes, codePage).text == text;
    return encoding != TextEncoding::Windows1251 || DecodeWindows1251(bytes) == text;
}

// What a run may append to as it stands: a file that ends with a whole line, in bytes that say
// exactly what was read. A last line cut by a kill or a full disk would otherwise swallow the
// first id appended after it.
bool EndsCleanly(const QByteArray& bytes, const DecodedText& decoded) {
    const QString& text = decoded.text;
    if (!text.isEmpty() && !text.endsWith(u'\r') && !text.endsWith(u'\n'))
        return false;
    return EncodeText(text, decoded.encoding, decoded.hadMark) == bytes;
}

}  // namespace

bool SeenReviewStore::Less::operator()(const QString& a, const QString& b) const {
    return locale->CompareIgnoringCase(a, b) < 0;
}

SeenReviewStore::SeenReviewStore(const LocaleServices& locale, RunLog& log, AppDir dir)
    : locale_(locale), log_(log), dir_(std::move(dir)), added_(Less{&locale_}) {}

void SeenReviewStore::Load() {
    file_.Close();
    loaded_.clear();
    added_.clear();
    recorded_.clear();
    encoding_.reset();
    withMark_ = false;

    const QString path = FilePath();
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileReadFailure& failure) {
        throw Failure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, failure.Reason()));
    }
    if (bytes) {
        const DecodedText decoded = DecodeFile(*bytes, locale_.CodePage());
        encoding_ = decoded.encoding;
        withMark_ = decoded.hadMark;
        const QStringList lines = SplitLines(decoded.text);
        // Sorting once instead of inserting line by line keeps a shuffled file of a million ids
        // fast; the stable sort and unique keep the first of equal ids, as adding in file order
        // would.
        loaded_.assign(lines.begin(), lines.end());
        const Less less{&locale_};
        std::stable_sort(loaded_.begin(), loaded_.end(), less);
        const auto end =
            std::unique(loaded_.begin(), loaded_.end(),
                        [&](const QString& a, const QString& b) { return !less(a, b); });
        loaded_.erase(end, loaded_.end());
        if (!EndsCleanly(*bytes, decoded))
            Rewrite();
    }
    OpenForAppending();
    if (bytes) {
        log_.Add(
            QStringLiteral(": в файле IdsDB.dat взяты ID отзывов, которые не будут загружаться. "
                           "Их количество: ") +
            QString::number(Count()));
    }
}

void SeenReviewStore::OpenForAppending() {
    file_.OpenForAppending(FilePath());
    fileEmpty_ = file_.Size() == 0;
}

bool SeenReviewStore::Contains(const QString& id) const {
    return std::binary_search(loaded_.begin(), loaded_.end(), id, Less{&locale_}) ||
           added_.find(id) != added_.end();
}

void SeenReviewStore::Add(const QString& id) {
    if (std::binary_search(loaded_.begin(), loaded_.end(), id, Less{&locale_}))
        return;
    added_.insert(id);  // a tree keeps its first entry of equal ids
}

void SeenReviewStore::Remove(const QString& id) {
    if (added_.erase(id) > 0)
        return;
    const auto range = std::equal_range(loaded_.begin(), loaded_.end(), id, Less{&locale_});
    loaded_.erase(range.first, range.second);
}

int SeenReviewStore::Count() const {
    return static_cast<int>(loaded_.size() + added_.size());
}

QStringList SeenReviewStore::Ids() const {
    QStringList ids;
    ids.reserve(Count());
    std::merge(loaded_.begin(), loaded_.end(), added_.begin(), added_.end(),
               std::back_inserter(ids), Less{&locale_});
    return ids;
}

void SeenReviewStore::Record(const QStringList& ids) {
    if (ids.isEmpty())
        return;
    if (!file_.IsOpen())
        OpenForAppending();
    const QString text = Lines(ids);
    const TextEncoding codePage = locale_.CodePage();
    const TextEncoding encoding = encoding_.value_or(codePage);
    const QByteArray bytes = EncodeText(text, encoding, false);
    const size_t before = recorded_.size();
    recorded_.insert(recorded_.end(), ids.begin(), ids.end());
    try {
        if (!withMark_ && !AppendHolds(text, bytes, encoding, fileEmpty_, codePage)) {
            // Rare: the whole file goes over to UTF-8 with its mark, these ids included.
            Rewrite();
            OpenForAppending();
            return;
        }
        file_.Write(bytes);
        fileEmpty_ = false;
    } catch (const Error&) {
        recorded_.resize(before);
        throw;
    }
    encoding_ = encoding;
}

void SeenReviewStore::Rewrite() {
    const Less less{&locale_};
    std::vector<QString> recorded = recorded_;
    std::stable_sort(recorded.begin(), recorded.end(), less);
    QStringList ids;
    ids.reserve(static_cast<qsizetype>(loaded_.size() + recorded.size()));
    // A merge keeps the loaded one first of equal ids, and unique keeps the first.
    std::merge(loaded_.begin(), loaded_.end(), recorded.begin(), recorded.end(),
               std::back_inserter(ids), less);
    ids.erase(std::unique(ids.begin(), ids.end(),
                          [&](const QString& a, const QString& b) { return !less(a, b); }),
              ids.end());
    // A file read with a mark (UTF-8, UTF-16) keeps it; one without stays without unless the next
    // run could not read every id back from it; a new one is in the system's code page.
    const TextEncoding codePage = locale_.CodePage();
    const EncodedFile encoded =
        EncodeFile(Lines(ids), encoding_.value_or(codePage), withMark_, codePage);
    // Closed first: a system that cannot rename over an open file must still take the new one.
    // Written beside the old file and renamed over it, so a crash or a full disk leaves the
    // previous store whole.
    file_.Close();
    ReplaceFileContents(FilePath(), encoded.bytes);
    encoding_ = encoded.encoding;
    withMark_ = encoded.withMark;
}

void SeenReviewStore::Save() {
    Rewrite();
}

}  // namespace quillorn
