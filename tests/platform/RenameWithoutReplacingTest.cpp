#include "platform/RenameWithoutReplacing.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quillorn {
namespace {

class RenameWithoutReplacingTest : public ::testing::Test {
protected:
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(temp.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile file(temp.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir temp;
};

TEST_F(RenameWithoutReplacingTest, ATakenNameIsRefusedAndBothFilesStay) {
    Write("part", "new");
    Write("data.xlsx", "old");
    QString reason;
    EXPECT_FALSE(RenameWithoutReplacing(temp.filePath("part"), temp.filePath("data.xlsx"), reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(Read("data.xlsx"), "old");
    EXPECT_EQ(Read("part"), "new");

    ASSERT_TRUE(QDir(temp.path()).mkdir("folder"));  // a folder's name is taken too
    EXPECT_FALSE(RenameWithoutReplacing(temp.filePath("part"), temp.filePath("folder"), reason));
    EXPECT_EQ(Read("part"), "new");
}

TEST_F(RenameWithoutReplacingTest, AFreeNameTakesTheFile) {
    Write("part", "new");
    QString reason;
    EXPECT_TRUE(RenameWithoutReplacing(temp.filePath("part"), temp.filePath("data.xlsx"), reason));
    EXPECT_EQ(Read("data.xlsx"), "new");
    EXPECT_FALSE(QFile::exists(temp.filePath("part")));
}

}  // namespace
}  // namespace quillorn
