// The fixture of the LockedFile tests, shared by the cases every platform runs and the POSIX-only
// ones: a file in a temporary folder, and its bytes as a reader sees them.
#pragma once

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace quillorn::test {

class LockedFileTest : public ::testing::Test {
protected:
    QByteArray Read() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir temp;
    QString path = temp.filePath("file.dat");
};

}  // namespace quillorn::test
