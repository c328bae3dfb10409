#include "tests/support/UnreplaceableFile.h"

#include <windows.h>

#include <QDir>

namespace quillorn::test {

bool MakeUnreplaceable(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ::SetFileAttributesW(name.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
}

}  // namespace quillorn::test
