#include "output/ReviewJournal.h"

#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/TextEncoding.h"

namespace quillorn {

ReviewJournal::ReviewJournal(const LocaleServices& locale, AppDir dir)
    : locale_(locale), dir_(std::move(dir)) {}

void ReviewJournal::Open() {
    file_.OpenForAppending(FilePath());
}

void ReviewJournal::Append(const QString& id) {
    const QString line = id + QLatin1Char('\t') + locale_.TimeStamp() + QLatin1String("\r\n");
    file_.Write(EncodeWindows1251(line));
}

void ReviewJournal::Close() {
    file_.Close();
}

}  // namespace quillorn
