// The run log's sink without a window: every line goes to standard output as UTF-8 the moment it
// is written, and is kept, as the window's panel keeps it, for the log file a normal end saves.
// Error lines go to standard error as well.
#pragma once

#include <functional>

#include "platform/LogSink.h"

namespace quillorn {

class ConsoleLogSink final : public LogSink {
public:
    // Called around every line written to standard output, so a progress line on the same
    // terminal can step aside and come back.
    std::function<void()> beforeLine;
    std::function<void()> afterLine;

    void AppendLine(const QString& line) override;
    void Clear() override;
    QStringList Lines() const override { return lines_; }

private:
    QStringList lines_;
};

}  // namespace quillorn
