// IdsDB.dat as any earlier run, a crash or a hand edit may have left it, loaded into the store of
// reviews already taken, grown by the ids a run takes and records, loaded again as a run killed
// then would, saved and loaded again as the next run does.
// Shared by the fuzz target and the test that replays its saved inputs.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "fuzz/FuzzTarget.h"
#include "fuzz/ScratchFolder.h"
#include "output/LineSplit.h"
#include "output/RunLog.h"
#include "output/SeenReviewStore.h"
#include "platform/AppDir.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "platform/LogSink.h"
#include "standin/TestClock.h"

namespace quillorn::fuzz {

// The store's ids must be in order and distinct, and each must be found.
inline QString CheckStoreOrder(const SeenReviewStore& store, const LocaleServices& locale) {
    const QStringList ids = store.Ids();
    if (ids.size() != store.Count())
        return QStringLiteral("the store counts %1 ids but holds %2")
            .arg(store.Count())
            .arg(ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (i > 0 && locale.CompareIgnoringCase(ids[i - 1], ids[i]) >= 0)
            return QStringLiteral("%1 is not before %2").arg(Shown(ids[i - 1]), Shown(ids[i]));
        if (!store.Contains(ids[i]))
            return QStringLiteral("%1 is held but not found").arg(Shown(ids[i]));
    }
    return {};
}

// Empty when loaded holds the ids of saved, else the first difference.
inline QString Difference(const QStringList& saved, const QStringList& loaded) {
    if (loaded == saved)
        return {};
    const auto [lost, found] =
        std::mismatch(saved.begin(), saved.end(), loaded.begin(), loaded.end());
    return QStringLiteral("%1 ids, loaded %2; first difference: %3 became %4")
        .arg(saved.size())
        .arg(loaded.size())
        .arg(lost == saved.end() ? QStringLiteral("nothing") : Shown(*lost),
             found == loaded.end() ? QStringLiteral("nothing") : Shown(*found));
}

// The first byte is how many of the last bytes are the ids the run takes (UTF-8, one a line); the
// bytes between are IdsDB.dat. Whatever loads, and every id taken, must be there again when the
// saved file is loaded by the next run.
inline QString CheckSeenStore(const QByteArray& input, const LocaleServices& locale) {
    if (input.isEmpty())
        return {};
    const qsizetype taken =
        std::min<qsizetype>(static_cast<unsigned char>(input[0]), input.size() - 1);
    const QByteArray file = input.mid(1, input.size() - 1 - taken);
    if (!WriteScratchFile(QStringLiteral("IdsDB.dat"), file))
        return QStringLiteral("cannot write the scratch IdsDB.dat");

    MemoryLogSink sink;
    standin::TestClock clock;
    const AppDir dir(ScratchFolder().path());
    RunLog log(sink, locale, clock, dir);
    SeenReviewStore store(locale, log, dir);
    // What the next run loads; its store is gone again, with its hold on the file.
    struct Loaded {
        QStringList ids;
        std::optional<TextEncoding> encoding;
    };
    const auto nextRunLoads = [&] {
        SeenReviewStore next(locale, log, dir);
        next.Load();
        return Loaded{next.Ids(), next.FileEncoding()};
    };
    std::optional<TextEncoding> read;
    Loaded appended;
    Loaded compacted;
    try {
        store.Load();
        read = store.FileEncoding();
        if (QString broken = CheckStoreOrder(store, locale); !broken.isEmpty())
            return QStringLiteral("loaded: ") + broken;
        const QStringList ids = SplitLines(QString::fromUtf8(input.right(taken)));
        for (const QString& id : ids) {
            store.Add(id);
            if (!store.Contains(id))
                return QStringLiteral("%1 added but not found").arg(Shown(id));
        }
        if (QString broken = CheckStoreOrder(store, locale); !broken.isEmpty())
            return QStringLiteral("grown: ") + broken;
        // Half the ids in a row of their own, then the rest: the file as a kill would leave it
        // must load as the compacted one does.
        store.Record(ids.mid(0, ids.size() / 2));
        store.Record(ids.mid(ids.size() / 2));
        // Closed again before the save: Windows cannot replace a file that is open.
        const QByteArray afterAppends =
            ReadScratchFile(QStringLiteral("IdsDB.dat")).value_or(QByteArray());
        store.Save();
        compacted = nextRunLoads();
        if (!WriteScratchFile(QStringLiteral("IdsDB.dat"), afterAppends))
            return QStringLiteral("cannot write the scratch IdsDB.dat");
        appended = nextRunLoads();
    } catch (const Error& error) {
        return QStringLiteral("the scratch IdsDB.dat failed: ") + error.Message();
    }
    const QStringList saved = store.Ids();
    if (QString lost = Difference(saved, appended.ids); !lost.isEmpty())
        return QStringLiteral("appended: ") + lost;
    if (QString lost = Difference(saved, compacted.ids); !lost.isEmpty())
        return QStringLiteral("saved: ") + lost;
    const bool widened =
        read == TextEncoding::Windows1251 && compacted.encoding == TextEncoding::Utf8;
    if (compacted.encoding != read && !widened)
        return QStringLiteral("the saved IdsDB.dat changed its encoding");
    return {};
}

}  // namespace quillorn::fuzz
