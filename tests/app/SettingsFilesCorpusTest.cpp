// The saved inputs of the fuzz targets for settings.ini and urls.txt, replayed in the ordinary test
// run: what the window reads from either file, or the user typed, saves and reads back unchanged.
#include <gtest/gtest.h>

#include "fuzz/CardListHarness.h"
#include "fuzz/SeedCorpus.h"
#include "fuzz/SettingsIniHarness.h"

namespace quillorn {
namespace {

void ReplayAll(const QString& target, QString (*check)(const QByteArray&)) {
    const QStringList names = fuzz::SeedNames(target);
    ASSERT_GE(names.size(), 4) << target.toStdString();
    for (const QString& name : names)
        EXPECT_EQ(check(fuzz::Seed(target, name)), QString()) << name.toStdString();
}

TEST(SettingsFilesCorpusTest, SettingsIniInputsReadBackAfterASave) {
    ReplayAll(QStringLiteral("settings_ini_fuzzer"), fuzz::CheckSettingsIni);
}

TEST(SettingsFilesCorpusTest, CardListInputsReadBackAfterASave) {
    ReplayAll(QStringLiteral("card_list_fuzzer"), fuzz::CheckCardList);
}

}  // namespace
}  // namespace quillorn
