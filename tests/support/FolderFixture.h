// A test's own temporary folder, made afresh for every test and removed after it, with the file
// helpers the component tests share: read, write, look for and list the files in it.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace quillorn::test {

class FolderFixture : public ::testing::Test {
protected:
    FolderFixture() = default;
    // The folder inside parent, a file system of the test's choosing, instead of the system's
    // temporary folder.
    explicit FolderFixture(const QString& parent)
        : tmp(QDir(parent).filePath(QStringLiteral("test-XXXXXX"))) {}

    void SetUp() override { ASSERT_TRUE(tmp.isValid()) << tmp.errorString().toStdString(); }

    QString Path(const QString& name) const { return QDir(tmp.path()).filePath(name); }
    // The file's bytes; "<missing>" when it cannot be read, so a comparison shows the absence.
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size()) << name.toStdString();
    }
    bool Exists(const QString& name) const { return QFile::exists(Path(name)); }
    // The names of the files that match pattern, in name order.
    QStringList Files(const QString& pattern = QStringLiteral("*")) const {
        return QDir(tmp.path()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    QTemporaryDir tmp;
};

}  // namespace quillorn::test
