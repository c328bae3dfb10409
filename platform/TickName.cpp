#include "platform/TickName.h"

#include "platform/AppDir.h"

#include <QFileInfo>

namespace quillorn {

QString TickNumber(std::uint32_t tick) {
    return QString::number(static_cast<std::int32_t>(tick));
}

QString FreeNumberedName(const AppDir& dir, const QString& prefix, std::uint32_t tick,
                         const QStringList& suffixes) {
    // A bound keeps a directory crowded with numbered files from holding the run up; the name
    // returned then exists, and creating it fails with a message that names it.
    constexpr int kMaxTries = 1 << 16;
    std::uint32_t number = tick;
    for (int i = 0; i < kMaxTries; ++i, ++number) {
        const QString stem = prefix + TickNumber(number);
        bool taken = false;
        for (const QString& suffix : suffixes) {
            // A dangling link counts as taken: creating the file would follow it.
            const QFileInfo info(dir.FilePath(stem + suffix));
            if (info.exists() || info.isSymLink()) {
                taken = true;
                break;
            }
        }
        if (!taken)
            return stem + suffixes.first();
    }
    return prefix + TickNumber(tick) + suffixes.first();
}

}  // namespace quillorn
