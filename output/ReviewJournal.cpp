#include "output/ReviewJournal.h"

#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/TextEncoding.h"

#include <QFileInfo>

namespace quillorn {

ReviewJournal::ReviewJournal(const LocaleServices& locale, AppDir dir)
    : locale_(locale), dir_(std::move(dir)) {}

void ReviewJournal::Open() {
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
    file_.Write(EncodeWindows1251(line));
}

void ReviewJournal::Close() {
    file_.Close();
}

}  // namespace quillorn
