// Replays the fuzzer's saved seeds in the ordinary test run, so that every input that once broke
// the parser stays a regression test: each must parse or fail cleanly, and a tree's compact JSON
// must read back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "json/JsonValue.h"

namespace quillorn {
namespace {

class JsonCorpusReplayTest : public ::testing::Test {
protected:
    // The fuzzer's reading of a seed: the first byte chooses UTF-16 code units (odd) or UTF-8.
    static QString TextOf(const QByteArray& seed) {
        if (seed.isEmpty())
            return {};
        const QByteArray rest = seed.mid(1);
        if ((seed[0] & 1) == 0)
            return QString::fromUtf8(rest);
        return QString(reinterpret_cast<const QChar*>(rest.constData()), rest.size() / 2);
    }
};

TEST_F(JsonCorpusReplayTest, EverySavedSeedParsesCleanlyAndReadsBack) {
    const QDir corpus(QStringLiteral(QUILLORN_SOURCE_DIR "/fuzz/corpus/json_fuzzer"));
    const QStringList seeds = corpus.entryList(QDir::Files);
    ASSERT_FALSE(seeds.isEmpty()) << corpus.path().toStdString();
    for (const QString& name : seeds) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const JsonValuePtr root = ParseJson(TextOf(file.readAll()));
        if (!root || (root->Kind() != JsonKind::Object && root->Kind() != JsonKind::Array))
            continue;
        const QString json = root->AsString();
        const JsonValuePtr again = ParseJson(json);
        ASSERT_TRUE(again) << name.toStdString();
        EXPECT_EQ(again->AsString(), json) << name.toStdString();
    }
}

}  // namespace
}  // namespace quillorn
