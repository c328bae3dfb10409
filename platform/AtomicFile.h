// Replacing a small state file as a whole: the bytes go to a temporary file beside it, which is
// then renamed over the old one, so a crash or a full disk during a save leaves the previous file
// intact.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillorn {

// Raises OutputFailure ("Cannot create file \"<path>\". <reason>" when the temporary file cannot
// be made, "Cannot write file \"<path>\". <reason>" when writing, flushing or the rename fails);
// the old file is then left as it was.
void ReplaceFileContents(const QString& path, const QByteArray& bytes);

// Reads a whole file; raises Failure("Cannot read file \"<path>\". <system error text>").
QByteArray ReadFileContents(const QString& path);

}  // namespace quillorn
