// Where the run log's lines go: the window's log panel in production, MemoryLogSink in tests and in
// the probe.
#pragma once

#include <QString>
#include <QStringList>

namespace quillorn {

class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void AppendLine(const QString& line) = 0;
    virtual void Clear() = 0;
    virtual QStringList Lines() const = 0;
};

class MemoryLogSink final : public LogSink {
public:
    void AppendLine(const QString& line) override { lines_.append(line); }
    void Clear() override { lines_.clear(); }
    QStringList Lines() const override { return lines_; }

private:
    QStringList lines_;
};

}  // namespace quillorn
