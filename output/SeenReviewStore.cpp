#include "output/SeenReviewStore.h"

#include "output/LineSplit.h"
#include "output/RunLog.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"

#include <algorithm>

namespace quillorn {

bool SeenReviewStore::Less::operator()(const QString& a, const QString& b) const {
    return locale->CompareIgnoringCase(a, b) < 0;
}

SeenReviewStore::SeenReviewStore(const LocaleServices& locale, RunLog& log, AppDir dir)
    : locale_(locale), log_(log), dir_(std::move(dir)), added_(Less{&locale_}) {}

void SeenReviewStore::Load() {
    loaded_.clear();
    added_.clear();
    encoding_.reset();

    const QString path = FilePath();
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileReadFailure& failure) {
        throw Failure(QStringLiteral("Cannot open file \"%1\". %2").arg(path, failure.Reason()));
    }
    if (!bytes)
        return;

    const DecodedText decoded = DecodeByMark(*bytes);
    encoding_ = decoded.encoding;
    const QStringList lines = SplitLines(decoded.text);
    // Sorting once instead of inserting line by line keeps a shuffled file of a million ids
    // fast; the stable sort and unique keep the first of equal ids, as adding in file order would.
    loaded_.assign(lines.begin(), lines.end());
    const Less less{&locale_};
    std::stable_sort(loaded_.begin(), loaded_.end(), less);
    const auto end = std::unique(loaded_.begin(), loaded_.end(),
                                 [&](const QString& a, const QString& b) { return !less(a, b); });
    loaded_.erase(end, loaded_.end());

    log_.Add(
        QStringLiteral(": в файле IdsDB.dat взяты ID отзывов, которые не будут загружаться. Их "
                       "количество: ") +
        QString::number(Count()));
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

void SeenReviewStore::Save() const {
    const QString path = FilePath();
    QString text;
    qsizetype length = 0;
    for (const QString& id : loaded_)
        length += id.size() + 2;
    for (const QString& id : added_)
        length += id.size() + 2;
    text.reserve(length);
    for (const QString& id : Ids()) {
        text += id;
        text += QLatin1String("\r\n");
    }
    // A file read with a mark (UTF-8, UTF-16) keeps it; Windows-1251 has none. Ids that code page
    // cannot hold, or bytes that would begin like a mark ("яю..." first), go out in UTF-8 with its
    // mark instead: the next run must find every id again.
    const TextEncoding encoding = encoding_.value_or(TextEncoding::Windows1251);
    QByteArray bytes;
    if (encoding == TextEncoding::Windows1251) {
        bytes = EncodeWindows1251(text);
        if (DecodeWindows1251(bytes) != text || DecodeByMark(bytes).hadMark)
            bytes = EncodeText(text, TextEncoding::Utf8, true);
    } else {
        bytes = EncodeText(text, encoding, true);
    }

    // Written beside the old file and renamed over it, so a crash or a full disk leaves the
    // previous store whole.
    ReplaceFileContents(path, bytes);
}

}  // namespace quillorn
