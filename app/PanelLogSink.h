// The log panel as the run log's sink: lines are appended at the bottom (the view follows them when
// it is scrolled to the end) and read back as the panel shows them, so a saved log holds exactly
// what the user saw.
#pragma once

#include "platform/LogSink.h"

class QPlainTextEdit;

namespace quillorn {

class PanelLogSink final : public LogSink {
public:
    explicit PanelLogSink(QPlainTextEdit& panel) : panel_(panel) {}

    void AppendLine(const QString& line) override;
    void Clear() override;
    QStringList Lines() const override;

private:
    QPlainTextEdit& panel_;
    // An empty panel shows one empty block, which is no line: a panel whose only line is empty
    // looks the same, so the sink remembers which of the two it holds.
    bool holdsLines_ = false;
};

}  // namespace quillorn
