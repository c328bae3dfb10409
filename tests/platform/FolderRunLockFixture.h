// The fixture of the folder lock tests, shared by the cases every platform runs and the
// platform's own: a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "platform/AppDir.h"

namespace quillorn::test {

class FolderRunLockTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    AppDir dir{temp.path()};
};

}  // namespace quillorn::test
