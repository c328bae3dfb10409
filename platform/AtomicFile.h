// Small state files taken as a whole. A save goes to a temporary file beside the old one, which is
// then renamed over it, so a crash or a full disk during a save leaves the previous file intact; a
// read tells a file that is not there from one that is there but cannot be read.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/Errors.h"

namespace quillorn {

// Raises OutputFailure ("Cannot create file \"<path>\". <reason>" when the temporary file cannot
// be made, "Cannot write file \"<path>\". <reason>" when writing, flushing or the rename fails);
// the old file is then left as it was.
void ReplaceFileContents(const QString& path, const QByteArray& bytes);

// A file that is there but could not be read whole. Its message is "Cannot read file \"<path>\".
// <reason>"; callers that name the failure otherwise take the step, the path and the reason.
class FileReadFailure : public Failure {
public:
    enum class Step { Open, Read };

    FileReadFailure(Step step, QString path, QString reason);
    Step FailedStep() const { return step_; }
    const QString& Path() const { return path_; }
    const QString& Reason() const { return reason_; }

private:
    Step step_;
    QString path_;
    QString reason_;
};

// The whole contents of the file at path, or nothing when no file of that name is there. A name
// that is there but cannot be read (a directory, no permission, a link that leads nowhere, an I/O
// error) raises FileReadFailure: a state file that is only out of reach must never read as absent.
// Anything but a regular file (a FIFO, a device) is refused at once, never waited on.
std::optional<QByteArray> ReadWholeFile(const QString& path);

}  // namespace quillorn
