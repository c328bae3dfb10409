#include "app/PanelLogSink.h"

#include <QPlainTextEdit>
#include <QTextBlock>

namespace quillorn {

void PanelLogSink::AppendLine(const QString& line) {
    if (!holdsLines_ && panel_.document()->isEmpty()) {
        panel_.setPlainText(line);
    } else {
        panel_.appendPlainText(line);
    }
    holdsLines_ = true;
}

void PanelLogSink::Clear() {
    panel_.clear();
    holdsLines_ = false;
}

QStringList PanelLogSink::Lines() const {
    const QTextDocument* document = panel_.document();
    if (!holdsLines_ && document->isEmpty())
        return {};
    QStringList lines;
    lines.reserve(document->blockCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    return lines;
}

}  // namespace quillorn
