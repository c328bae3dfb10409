#include "output/SeenReviewStore.h"

#include "tests/output/SeenReviewStoreFixture.h"

namespace quillorn {
namespace {

using test::SeenReviewStoreTest;

TEST_F(SeenReviewStoreTest, WithoutFileNoCountLineAndRecordedInWindows1251WithoutMark) {
    store.Load();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_TRUE(sink.Lines().isEmpty());
    EXPECT_FALSE(store.FileEncoding().has_value());
    // Each row's ids are in the file as soon as they are recorded, in the order of the rows.
    store.Record({"b2"});
    EXPECT_EQ(Stored(), "b2\r\n");
    store.Record({"ю1", "A3"});
    EXPECT_EQ(Stored(), "b2\r\n\xFE\x31\r\nA3\r\n");
    // The end of the run sorts them; an id taken but never recorded is not among them.
    store.Add("c4");
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

TEST_F(SeenReviewStoreTest, RecordsAndSavesInTheEncodingReadWithItsMark) {
    const QString ids = QStringLiteral("ид-1\r\nид-2\r\n");
    for (TextEncoding encoding :
         {TextEncoding::Utf8, TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        Write("IdsDB.dat", EncodeText(ids, encoding, true));
        store.Load();
        EXPECT_EQ(store.Ids(), (QStringList{"ид-1", "ид-2"}));
        store.Record({"ид-3"});
        EXPECT_EQ(Stored(), EncodeText(ids + "ид-3\r\n", encoding, true));
        store.Save();
        EXPECT_EQ(Stored(), EncodeText(ids + "ид-3\r\n", encoding, true));
    }
    Write("IdsDB.dat", "\xEF\xBB\xBF");
    store.Load();
    EXPECT_EQ(store.Count(), 0);
    store.Save();
    EXPECT_EQ(Stored(), "\xEF\xBB\xBF");
}

TEST_F(SeenReviewStoreTest, IdsWindows1251CannotHoldWidenTheFileToUtf8) {
    Write("IdsDB.dat", "a\r\n");
    store.Load();
    store.Record({"日本"});
    EXPECT_EQ(Stored(), "\xEF\xBB\xBF" + QString("a\r\n日本\r\n").toUtf8());
    store.Record({"ё"});
    EXPECT_EQ(Stored(), "\xEF\xBB\xBF" + QString("a\r\n日本\r\nё\r\n").toUtf8());
    EXPECT_EQ(store.FileEncoding(), TextEncoding::Utf8);

    // The first bytes of an empty file must not read as a mark.
    QFile::remove(Path("IdsDB.dat"));
    store.Load();
    store.Record({"яюz"});
    EXPECT_EQ(Stored(), "\xEF\xBB\xBF" + QString("яюz\r\n").toUtf8());
}

TEST_F(SeenReviewStoreTest, UnderAUtf8CodePageANewFileIsUtf8WithoutMarkAndStaysSo) {
    locale.SetCodePage(TextEncoding::Utf8);
    store.Load();
    store.Record({"ид-2", "日本"});
    EXPECT_EQ(Stored(), QString("ид-2\r\n日本\r\n").toUtf8());
    store.Save();
    store.Load();
    EXPECT_EQ(store.FileEncoding(), TextEncoding::Utf8);
    EXPECT_FALSE(store.FileHasMark());
    store.Record({"ид-1"});
    store.Save();
    EXPECT_EQ(Stored(), QString("ид-1\r\nид-2\r\n日本\r\n").toUtf8());

    // U+FEFF first would read as a mark and be lost from the id.
    QFile::remove(Path("IdsDB.dat"));
    store.Load();
    store.Record({QStringLiteral("\uFEFFz")});
    EXPECT_EQ(Stored(), QStringLiteral("\uFEFF\uFEFFz\r\n").toUtf8());
}

TEST_F(SeenReviewStoreTest, UnderAUtf8CodePageAFileThatIsNotUtf8StaysWindows1251) {
    locale.SetCodePage(TextEncoding::Utf8);
    Write("IdsDB.dat", "\xE8\xE4-1\r\n");  // "ид-1" from the Windows program
    store.Load();
    EXPECT_EQ(store.Ids(), QStringList{"ид-1"});
    store.Record({"ид-2"});
    EXPECT_EQ(Stored(), "\xE8\xE4-1\r\n\xE8\xE4-2\r\n");
    store.Save();
    EXPECT_EQ(Stored(), "\xE8\xE4-1\r\n\xE8\xE4-2\r\n");

    // Once the ids that made it no UTF-8 are gone, "Рё" (D0 B8) would read back as "и".
    Write("IdsDB.dat", "\xD0\xB8\r\n\xE0\r\n");
    store.Load();
    EXPECT_EQ(store.Ids(), (QStringList{"а", "Рё"}));
    store.Remove("а");
    store.Save();
    EXPECT_EQ(Stored(), "\xEF\xBB\xBF" + QString("Рё\r\n").toUtf8());

    // A UTF-8 file cut in the middle of its last character is still UTF-8.
    Write("IdsDB.dat", QString("ид-1\r\n").toUtf8() + "\xD0");
    store.Load();
    EXPECT_EQ(store.Ids(), (QStringList{"ид-1", QString(QChar::ReplacementCharacter)}));
    store.Record({"ид-3"});
    EXPECT_EQ(Stored(), QString("ид-1\r\n\uFFFD\r\nид-3\r\n").toUtf8());
}

TEST_F(SeenReviewStoreTest, ALastLineCutOffLoadsAndIsEndedBeforeAnythingIsAppended) {
    Write("IdsDB.dat", "7\r\n12");  // a kill in the middle of "1234\r\n"
    store.Load();
    EXPECT_EQ(store.Ids(), (QStringList{"12", "7"}));
    store.Record({"9"});
    EXPECT_EQ(Stored(), "12\r\n7\r\n9\r\n");

    // Half a UTF-16 character
    Write("IdsDB.dat", EncodeText("1\r\n", TextEncoding::Utf16LE, true) + "2");
    store.Load();
    EXPECT_EQ(store.Ids(), (QStringList{"1", QString(QChar::ReplacementCharacter)}));
    store.Record({"3"});
    EXPECT_EQ(Stored(), EncodeText("1\r\n\uFFFD\r\n3\r\n", TextEncoding::Utf16LE, true));
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
