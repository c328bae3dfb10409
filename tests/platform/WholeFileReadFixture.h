// The fixture of the whole-file read tests, shared by the cases every platform runs and the
// POSIX-only ones: a state file's name in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <QTemporaryDir>

namespace quillorn::test {

class WholeFileReadTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString path = temp.filePath("state.dat");
};

}  // namespace quillorn::test
