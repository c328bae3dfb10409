#include "headless/ConsoleLogSink.h"

#include <cstdio>

namespace quillorn {

void ConsoleLogSink::AppendLine(const QString& line) {
    lines_.append(line);
    if (beforeLine)
        beforeLine();
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    // Someone following the log through a pipe or the journal sees each step as it happens.
    std::fflush(stdout);
    if (afterLine)
        afterLine();
}

void ConsoleLogSink::Clear() {
    lines_.clear();
}

}  // namespace quillorn
