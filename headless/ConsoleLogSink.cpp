#include "headless/ConsoleLogSink.h"

#include <cstdio>

namespace quillorn {

namespace {

// A time-stamped line is the stamp, then the message, which always begins with ": "; a stamp
// holds no ": " of its own, so the first one starts the message.
bool ReportsFailure(const QString& line) {
    static const QString kFailure = QStringLiteral(": Ошибка: ");
    const qsizetype message = line.indexOf(QStringLiteral(": "));
    return message >= 0 && line.mid(message, kFailure.size()) == kFailure;
}

}  // namespace

void ConsoleLogSink::AppendLine(const QString& line) {
    lines_.append(line);
    if (ReportsFailure(line))
        failureLogged_ = true;
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
    failureLogged_ = false;
}

}  // namespace quillorn
