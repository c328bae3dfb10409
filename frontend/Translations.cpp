#include "frontend/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace quillorn {

Translations::Translations(const QString& catalogue, const QLocale& locale) {
    // Qt's own catalogue lies where Qt keeps its translations: /usr/share/qt6/translations on
    // Debian, a "translations" folder beside a program that brings its own Qt.
    if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        qtInstalled_ = QCoreApplication::installTranslator(&qt_);
    if (!catalogue.isEmpty() &&
        own_.load(locale, catalogue, QStringLiteral("_"), QStringLiteral(":/i18n")))
        ownInstalled_ = QCoreApplication::installTranslator(&own_);
}

Translations::~Translations() {
    if (ownInstalled_)
        QCoreApplication::removeTranslator(&own_);
    if (qtInstalled_)
        QCoreApplication::removeTranslator(&qt_);
}

}  // namespace quillorn
