// The desktop's "open" action through Qt: the file goes to the program the desktop associates
// with its type (xdg-open on Linux). Needs a QGuiApplication.
#pragma once

#include "output/DesktopOpener.h"

namespace quillorn {

class DesktopServicesOpener final : public DesktopOpener {
public:
    // The desktop's answer is not examined: with no program for the type, nothing opens and the
    // workbook simply stays beside the result file.
    void Open(const QString& path) override;
};

}  // namespace quillorn
