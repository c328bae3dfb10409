// What the output tests share: a temporary application folder, a pinned locale, virtual time and a
// memory log.
#pragma once

#include "output/RunLog.h"
#include "platform/AppDir.h"
#include "platform/LogSink.h"
#include "standin/PinnedLocale.h"
#include "standin/TestClock.h"
#include "tests/support/FolderFixture.h"

namespace quillorn::test {

class OutputFixture : public FolderFixture {
protected:
    // The stamp the pinned locale gives at its default moment.
    static QString Stamp() { return QStringLiteral("05.03.2024 14:07:09"); }

    AppDir dir{tmp.path()};
    standin::PinnedLocale locale;
    standin::TestClock clock{1234};
    MemoryLogSink sink;
    RunLog log{sink, locale, clock, dir};
};

}  // namespace quillorn::test
