#include "headless/ConsoleLogSink.h"

#include <cstdio>

namespace quillorn {

namespace {

// A card's failed attempt (": ERROR_") or the run's own failure (": Ошибка: ").
bool IsErrorLine(const QString& line) {
    return line.contains(QStringLiteral(": ERROR_")) || line.contains(QStringLiteral(": Ошибка: "));
}

void WriteLine(const QByteArray& bytes, std::FILE* stream) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    // Someone following the log through a pipe or the journal sees each step as it happens.
    std::fflush(stream);
}

}  // namespace

void ConsoleLogSink::AppendLine(const QString& line) {
    lines_.append(line);
    if (beforeLine)
        beforeLine();
    const QByteArray bytes = line.toUtf8() + '\n';
    WriteLine(bytes, stdout);
    // cron mails and monitoring watch standard error: the errors must show there without the
    // rest of the log.
    if (IsErrorLine(line))
        WriteLine(bytes, stderr);
    if (afterLine)
        afterLine();
}

void ConsoleLogSink::Clear() {
    lines_.clear();
}

}  // namespace quillorn
