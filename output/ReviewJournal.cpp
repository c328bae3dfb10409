#include "output/ReviewJournal.h"

#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/TextEncoding.h"

#include <QFileInfo>
#include <algorithm>

namespace quillorn {

ReviewJournal::ReviewJournal(const LocaleServices& locale, AppDir dir)
    : locale_(locale), dir_(std::move(dir)) {}

void ReviewJournal::Open() {
    unconfirmed_.clear();
    const QString path = FilePath();
    const bool existed = QFileInfo::exists(path);
    if (!file_.Open(path, LockedFile::Mode::OpenOrAppend)) {
        const QString format = existed ? QStringLiteral("Cannot open file \"%1\". %2")
                                       : QStringLiteral("Cannot create file \"%1\". %2");
        throw Failure(format.arg(path, file_.ErrorText()));
    }
}

void ReviewJournal::Append(const QString& id) {
    const QString line = id + QLatin1Char('\t') + locale_.TimeStamp() + QLatin1String("\r\n");
    const qint64 offset = file_.Size();
    file_.Write(EncodeWindows1251(line));
    if (offset >= 0)
        unconfirmed_.push_back({id, offset});
}

void ReviewJournal::Confirm(const QStringList& ids) {
    std::erase_if(unconfirmed_, [&](const Line& line) { return ids.contains(line.id); });
}

bool ReviewJournal::Withdraw(const QStringList& ids) {
    const auto first = std::find_if(unconfirmed_.begin(), unconfirmed_.end(),
                                    [&](const Line& line) { return ids.contains(line.id); });
    if (first == unconfirmed_.end())
        return true;
    const bool last = std::all_of(first, unconfirmed_.end(),
                                  [&](const Line& line) { return ids.contains(line.id); });
    if (!last || !file_.IsOpen() || !file_.Truncate(first->offset))
        return false;
    unconfirmed_.erase(first, unconfirmed_.end());
    return true;
}

void ReviewJournal::Close() {
    file_.Close();
    unconfirmed_.clear();
}

}  // namespace quillorn
