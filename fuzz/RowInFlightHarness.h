// IdsDB.pending as a kill, a power cut or a hand edit may have left it, settled by the next run
// against a result file that ends in a torn row. Whatever the record says, the result file is only
// ever cut back within its torn row, no other file is touched, only ids the record names are
// remembered, and the record is empty afterwards.
// Shared by the fuzz target and the test that replays its saved inputs.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QString>

#include "fuzz/FuzzTarget.h"
#include "fuzz/ScratchFolder.h"
#include "output/RowInFlight.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "platform/AppDir.h"
#include "platform/Errors.h"
#include "platform/LogSink.h"
#include "standin/PinnedLocale.h"
#include "standin/TestClock.h"

namespace quillorn::fuzz {

inline QString CheckRowInFlight(const QByteArray& record) {
    const QByteArray rows("\xEF\xBB\xBFheader\r\n\"a\"\t\"1\"\r\n\"b\"\t\"2\"\r\n\"c\"\t\"3");
    const qsizetype wholeLines = rows.lastIndexOf('\n') + 1;
    QFile::remove(QDir(ScratchFolder().path()).filePath(QStringLiteral("IdsDB.dat")));
    if (!WriteScratchFile(QStringLiteral("data1.tab"), rows) ||
        !WriteScratchFile(QStringLiteral("urls.txt"), "kept") ||
        !WriteScratchFile(QStringLiteral("IdsDB.pending"), record))
        return QStringLiteral("cannot write the scratch files");

    const standin::PinnedLocale locale;
    MemoryLogSink sink;
    standin::TestClock clock;
    const AppDir dir(ScratchFolder().path());
    RunLog log(sink, locale, clock, dir);
    {
        SeenReviewStore store(locale, log, dir);
        RowInFlight inFlight(dir);
        try {
            store.Load();
            inFlight.Settle(store);
        } catch (const Error&) {
            return {};  // refused with a clear error, as a run's start would be
        }
        QSet<QString> named;
        for (const QByteArray& line : record.split('\n')) {
            for (const QByteArray& field : line.split('\t'))
                named.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(field)));
        }
        for (const QString& id : store.Ids()) {
            if (!named.contains(id))
                return QStringLiteral("%1 remembered but not in the record").arg(Shown(id));
        }
    }
    const QByteArray result = ReadScratchFile(QStringLiteral("data1.tab")).value_or("<missing>");
    if (!rows.startsWith(result) || result.size() < wholeLines)
        return QStringLiteral("the result file became %1").arg(Shown(QString::fromUtf8(result)));
    if (ReadScratchFile(QStringLiteral("urls.txt")).value_or("<missing>") != "kept")
        return QStringLiteral("another file was changed");
    if (!ReadScratchFile(QStringLiteral("IdsDB.pending")).value_or("<missing>").isEmpty())
        return QStringLiteral("the record was not emptied");
    return {};
}

}  // namespace quillorn::fuzz
