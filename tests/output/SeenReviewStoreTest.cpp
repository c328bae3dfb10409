#include "output/SeenReviewStore.h"

#include "OutputFixture.h"
#include "platform/Errors.h"

#include <QRandomGenerator>
#include <algorithm>

namespace quillorn {
namespace {

using test::FileSizeLimit;

class SeenReviewStoreTest : public test::OutputFixture {
protected:
    QByteArray Stored() const { return Read("IdsDB.dat"); }
    QString CountLine(int n) const {
        return Stamp() +
               ": в файле IdsDB.dat взяты ID отзывов, которые не будут загружаться. Их "
               "количество: " +
               QString::number(n);
    }

    SeenReviewStore store{locale, log, dir};
};

TEST_F(SeenReviewStoreTest, WithoutFileNoCountLineAndSavedInWindows1251WithoutMark) {
    store.Load();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_TRUE(sink.Lines().isEmpty());
    EXPECT_FALSE(store.FileEncoding().has_value());
    store.Add("b2");
    store.Add("ю1");
    store.Add("A3");
    store.Save();
    EXPECT_EQ(Stored(), "A3\r\nb2\r\n\xFE\x31\r\n");
}

TEST_F(SeenReviewStoreTest, DuplicatesAndEmptyLinesLoadAsDistinctEntries) {
    Write("IdsDB.dat", "101\r\n101\r\n\r\n99");
    store.Load();
    EXPECT_EQ(sink.Lines(), QStringList{CountLine(3)});
    EXPECT_TRUE(store.Contains(""));
    store.Save();
    EXPECT_EQ(Stored(), "\r\n101\r\n99\r\n");
}

TEST_F(SeenReviewStoreTest, CaseVariantsAreOneEntryAndTheFirstIsKept) {
    Write("IdsDB.dat", "abC\nABC\r\nabc\rXyz\n");
    store.Load();
    EXPECT_EQ(store.Count(), 2);
    EXPECT_TRUE(store.Contains("ABc"));
    store.Add("xYZ");
    store.Add("new");
    EXPECT_EQ(store.Ids(), (QStringList{"abC", "new", "Xyz"}));
}

TEST_F(SeenReviewStoreTest, SavesInTheEncodingReadWithItsMark) {
    const QString ids = QStringLiteral("ид-1\r\nид-2\r\n");
    for (TextEncoding encoding :
         {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        Write("IdsDB.dat", EncodeText(ids, encoding, true));
        store.Load();
        EXPECT_EQ(store.Ids(), (QStringList{"ид-1", "ид-2"}));
        store.Add("ид-3");
        store.Save();
        EXPECT_EQ(Stored(), EncodeText(ids + "ид-3\r\n", encoding, true));
    }
    Write("IdsDB.dat", "\xEF\xBB\xBF");
    store.Load();
    EXPECT_EQ(store.Count(), 0);
    store.Save();
    EXPECT_EQ(Stored(), "\xEF\xBB\xBF");
}

TEST_F(SeenReviewStoreTest, ShuffledFileLoadsSortedAndEveryIdIsFound) {
    QStringList ids;
    for (int i = 0; i < 5000; ++i)
        ids << QString::number(i * 7919 % 100003, 16);
    QStringList shuffled = ids;
    std::shuffle(shuffled.begin(), shuffled.end(), *QRandomGenerator::global());
    Write("IdsDB.dat", shuffled.join("\n").toLatin1());
    store.Load();
    std::sort(ids.begin(), ids.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(store.Ids(), ids);
    for (const QString& id : shuffled)
        ASSERT_TRUE(store.Contains(id.toUpper())) << id.toStdString();
    EXPECT_FALSE(store.Contains("zz"));
    store.Remove(ids.first());
    EXPECT_FALSE(store.Contains(ids.first()));
}

TEST_F(SeenReviewStoreTest, FailedSaveLeavesThePreviousFileWhole) {
    Write("IdsDB.dat", "1\r\n2\r\n");
    store.Load();
    for (int i = 0; i < 200; ++i)
        store.Add(QString("review-%1").arg(i));
    {
        FileSizeLimit limit(64);
        try {
            store.Save();
            FAIL() << "no failure";
        } catch (const OutputFailure& failure) {
            EXPECT_EQ(failure.Message(),
                      "Cannot write file \"" + store.FilePath() + "\". File too large");
        }
    }
    EXPECT_EQ(Stored(), "1\r\n2\r\n");
    EXPECT_EQ(Files(), QStringList{"IdsDB.dat"});
}

TEST_F(SeenReviewStoreTest, UnreadableFileFailsWithCannotOpen) {
    ASSERT_TRUE(QDir(tmp.path()).mkdir("IdsDB.dat"));
    try {
        store.Load();
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_TRUE(failure.Message().startsWith("Cannot open file \"" + store.FilePath() + "\". "))
            << failure.what();
    }
}

}  // namespace
}  // namespace quillorn
