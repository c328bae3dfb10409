// The lock that keeps a folder to one harvest run at a time, across programs: a run holds it from
// its start until its store of taken reviews is saved, so no second run can load that store while
// it is about to change and deliver the same reviews again. Every front end that harvests into a
// folder takes it before it touches any file there. On Linux the folder itself carries the lock; on
// Windows, where a folder cannot be locked, the hidden file ".quillorn.lock" inside it does, and
// stays there for good.
#pragma once

#include <QString>
#include <optional>

#include "platform/AppDir.h"

namespace quillorn {

class FolderRunLock {
public:
    // Takes the folder's lock, or returns nothing when a run holds it, in another program or in
    // this one. The lock is held until the object is destroyed. Raises Failure "Cannot lock folder
    // \"<path>\". <system error text>" when the folder cannot be opened or locked.
    [[nodiscard]] static std::optional<FolderRunLock> TryTake(const AppDir& dir);

    // Whether a run holds the folder's lock at this moment; raises Failure as TryTake does. Asking
    // shares the lock for an instant, so a TryTake at that very instant may be refused.
    static bool IsBusy(const AppDir& dir);

    ~FolderRunLock();
    FolderRunLock(FolderRunLock&& other) noexcept;
    FolderRunLock& operator=(FolderRunLock&& other) noexcept;
    FolderRunLock(const FolderRunLock&) = delete;
    FolderRunLock& operator=(const FolderRunLock&) = delete;

private:
    explicit FolderRunLock(int fd) : fd_(fd) {}
    void Release() noexcept;

    int fd_ = -1;
};

// What every front end tells the user whose run a busy folder refused, in one wording whenever the
// refusal is noticed: "В папке <folder> уже идёт выгрузка отзывов: ...".
QString FolderBusyMessage(const AppDir& dir);

}  // namespace quillorn
