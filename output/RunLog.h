// The run log: every step of a run reports here. Lines go to a LogSink (the window's log panel, or
// a MemoryLogSink in tests), and at the normal end of a run the panel is saved to "log-<tick>.txt".
#pragma once

#include "platform/AppDir.h"

#include <QString>

namespace quillorn {

class Clock;
class LocaleServices;
class LogSink;

class RunLog {
public:
    // Keeps references to sink, locale and clock; they must outlive the log.
    RunLog(LogSink& sink, const LocaleServices& locale, Clock& clock, AppDir dir);

    // Appends the time stamp followed by message, which begins with ": ". A message holding line
    // breaks (CR LF, CR or LF) gives several lines; only the first carries the time stamp.
    void Add(const QString& message);
    // Appends text without a time stamp, split at its line breaks like Add.
    void AddPlain(const QString& text);
    // Empties the panel.
    void Clear();

    // Names the file "log-%d.txt" after the tick counter (the next free number when a file of that
    // name exists), adds the end line ": Работа завершена, лог записан в " + path, then writes
    // every panel line followed by CR LF in the system's code page (the locale's) without a mark.
    // Returns the path. Raises OutputFailure "Cannot create file \"<path>\". <reason>" or "Cannot
    // write file ..."; a file that could not be written is removed again.
    QString SaveRunLog();

    LogSink& Sink() const { return sink_; }
    const LocaleServices& Locale() const { return locale_; }

private:
    void AppendLines(const QString& text, const QString& stampOfFirst);

    LogSink& sink_;
    const LocaleServices& locale_;
    Clock& clock_;
    AppDir dir_;
};

}  // namespace quillorn
