// Qt's own texts in the user's language: the text fields' menus of a Russian desktop are Russian.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <memory>

#include "frontend/Translations.h"

namespace quillorn {
namespace {

QString MenuTexts(QPlainTextEdit& edit) {
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text();
    return texts.join(u'|');
}

TEST(TranslationsTest, ARussianLocaleReadsQtsOwnTextsInRussianAndOthersStayEnglish) {
    QPlainTextEdit edit(QStringLiteral("текст"));
    {
        const Translations russian({}, QLocale(QLocale::Russian, QLocale::Russia));
        ASSERT_TRUE(russian.QtTranslated()) << "Qt's Russian translations are not installed";
        EXPECT_TRUE(MenuTexts(edit).contains(QStringLiteral("Копировать")))
            << MenuTexts(edit).toStdString();
    }
    const Translations none({}, QLocale(QLocale::C));
    EXPECT_FALSE(none.QtTranslated());
    EXPECT_TRUE(MenuTexts(edit).contains(QStringLiteral("Copy"))) << MenuTexts(edit).toStdString();
}

}  // namespace
}  // namespace quillorn
