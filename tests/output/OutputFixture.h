// What the output tests share: a temporary application directory, a pinned locale, virtual time,
// a memory log, and a limit on the size of files this process may write, so that writes fail for
// real (EFBIG) the way they do on a full disk.
#pragma once

#include "output/RunLog.h"
#include "platform/AppDir.h"
#include "platform/Clock.h"
#include "platform/LocaleServices.h"
#include "platform/LogSink.h"
#include "standin/PinnedLocale.h"
#include "standin/TestClock.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quillorn::testing {

using test::FileSizeLimit;

class OutputFixture : public ::testing::Test {
protected:
    QByteArray ReadFile(const QString& name) const {
        QFile file(dir.FilePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(dir.FilePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QStringList Files() const { return QDir(temp.path()).entryList(QDir::Files, QDir::Name); }
    // The stamp the pinned locale gives at its default moment.
    static QString Stamp() { return QStringLiteral("05.03.2024 14:07:09"); }

    QTemporaryDir temp;
    AppDir dir{temp.path()};
    standin::PinnedLocale locale;
    standin::TestClock clock{1234};
    MemoryLogSink sink;
    RunLog log{sink, locale, clock, dir};
};

}  // namespace quillorn::testing
