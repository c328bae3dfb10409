// A desktop opener that only records what it was asked to open, so a run's workbook step can be
// checked without a desktop starting a spreadsheet program.
#pragma once

#include <QStringList>

#include "output/DesktopOpener.h"

namespace quillorn::test {

class RecordingOpener final : public DesktopOpener {
public:
    QStringList opened;
    void Open(const QString& path) override { opened << path; }
};

}  // namespace quillorn::test
