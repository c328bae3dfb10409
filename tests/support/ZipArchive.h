// The members of a zip archive (a workbook), for the tests that read workbooks back. On Linux the
// system's unzip reads them, a reader independent of the writer; Windows has no such program, so
// there a small reader over zlib's inflate does.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillorn::test {

// The names of the archive's members, in archive order.
QStringList ZipMemberNames(const QString& path);
// One member's bytes; throws std::runtime_error when the archive or the member cannot be read.
QByteArray ZipMember(const QString& path, const QString& member);

}  // namespace quillorn::test
