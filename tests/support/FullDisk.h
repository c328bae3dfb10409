// A small file system of its own that a test fills up, so that writes fail for real the way they do
// on a full disk. QUILLORN_FULL_DISK names its mount point: scripts/windows-build.sh mounts a small
// tmpfs there for the Windows suite, where a process cannot limit the size of its files.
#pragma once

#include <QString>

namespace quillorn::test {

class FullDisk {
public:
    // The mount point; empty when QUILLORN_FULL_DISK is not set.
    static QString Root();

    FullDisk() = default;
    ~FullDisk() { Free(); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Takes every free byte with a filler file: from now on a write that needs room fails. False
    // when the filler cannot be made or the disk never filled.
    bool Fill();
    // Gives the room back.
    void Free();

private:
    QString filler_;
};

}  // namespace quillorn::test
