#include "output/RunLog.h"

#include "output/LineSplit.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/LockedFile.h"
#include "platform/LogSink.h"
#include "platform/TextEncoding.h"
#include "platform/TickName.h"

#include <QFile>

namespace quillorn {

RunLog::RunLog(LogSink& sink, const LocaleServices& locale, Clock& clock, AppDir dir)
    : sink_(sink), locale_(locale), clock_(clock), dir_(std::move(dir)) {}

void RunLog::Add(const QString& message) {
    AppendLines(message, locale_.TimeStamp());
}

void RunLog::AddPlain(const QString& text) {
    AppendLines(text, QString());
}

void RunLog::Clear() {
    sink_.Clear();
}

void RunLog::AppendLines(const QString& text, const QString& stampOfFirst) {
    QStringList lines = SplitLines(text);
    if (lines.isEmpty())
        lines.append(QString());  // an empty text is an empty line
    sink_.AppendLine(stampOfFirst + lines.first());
    for (qsizetype i = 1; i < lines.size(); ++i)
        sink_.AppendLine(lines.at(i));
}

QString RunLog::SaveRunLog() {
    const QString name =
        FreeNumberedName(dir_, QStringLiteral("log-"), clock_.Tick(), {QStringLiteral(".txt")});
    const QString path = dir_.FilePath(name);
    Add(QStringLiteral(": Работа завершена, лог записан в ") + path);

    LockedFile file;
    if (!file.Open(path, LockedFile::Mode::CreateNew))
        throw OutputFailure(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.ErrorText()));
    // In the system's code page, as every editor on the system reads it; a single-byte one turns
    // what it cannot hold into '?'.
    const TextEncoding codePage = locale_.CodePage();
    QByteArray bytes;
    for (const QString& line : sink_.Lines()) {
        bytes += EncodeText(line, codePage, false);
        bytes += "\r\n";
    }
    try {
        file.Write(bytes);
    } catch (const OutputFailure&) {
        // A log that could not be written whole is no log of the run: the file created above
        // goes, rather than stay behind empty.
        file.Close();
        QFile::remove(path);
        throw;
    }
    file.Close();
    return path;
}

}  // namespace quillorn
