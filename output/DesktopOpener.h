// The desktop's default "open" action on a file, used to show the finished workbook.
#pragma once

#include <QString>

namespace quillorn {

class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;

    // Asks the desktop to open the file with the program associated with its type. Whether the
    // desktop manages is not reported: the caller has nothing left to do either way.
    virtual void Open(const QString& path) = 0;
};

}  // namespace quillorn
