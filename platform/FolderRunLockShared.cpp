// What the folder lock does alike on every system: it is released once, by its last owner.
#include <utility>

#include "platform/FolderRunLock.h"

namespace quillorn {

FolderRunLock::~FolderRunLock() {
    Release();
}

FolderRunLock::FolderRunLock(FolderRunLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FolderRunLock& FolderRunLock::operator=(FolderRunLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

}  // namespace quillorn
