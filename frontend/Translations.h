// The user's language for the texts Qt itself shows (the text fields' context menus, standard
// buttons, the command-line parser's messages) and for a program's own catalogue, chosen by the
// locale: a Russian desktop reads "Копировать", not "Copy". Where no translation exists for the
// locale, the texts stay in English. The texts of the harvest's log and boxes are Russian already
// and are not translated.
#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace quillorn {

class Translations {
public:
    // Installs Qt's translation for locale and, when catalogue names one (e.g. "quillorn-harvest"),
    // the program's own from its resources, for as long as this object lives. Needs the
    // application object.
    explicit Translations(const QString& catalogue = {}, const QLocale& locale = QLocale());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether a translation was found for Qt's texts, and for the program's own.
    bool QtTranslated() const { return qtInstalled_; }
    bool OwnTranslated() const { return ownInstalled_; }

private:
    QTranslator qt_;
    QTranslator own_;
    bool qtInstalled_ = false;
    bool ownInstalled_ = false;
};

}  // namespace quillorn
