// The same on every platform: only opening, locking, writing and closing differ.
#include <QFileInfo>
#include <utility>

#include "platform/Errors.h"
#include "platform/LockedFile.h"

namespace quillorn {

LockedFile::~LockedFile() {
    Close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      errorText_(std::move(other.errorText_)) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        errorText_ = std::move(other.errorText_);
    }
    return *this;
}

void LockedFile::OpenForAppending(const QString& path) {
    const bool existed = QFileInfo::exists(path);
    if (Open(path, Mode::OpenOrAppend))
        return;
    const QString format = existed ? QStringLiteral("Cannot open file \"%1\". %2")
                                   : QStringLiteral("Cannot create file \"%1\". %2");
    throw Failure(format.arg(path, errorText_));
}

}  // namespace quillorn
