// The spreadsheet writer on Linux: turns a result file into an .xlsx workbook with libxlsxwriter,
// row by row in constant memory. The workbook is made for reading: numbers and second dates become
// real numbers and dates; the tabs and line breaks the result file escapes are shown as such, and
// texts with line breaks wrap; web addresses in the author profile and card columns are links;
// the header row is bold, frozen and carries an autofilter; columns get widths that fit their
// texts; the sheet is named after the result file and prints in landscape, one page wide, with
// the header on every page. The result file itself is only read.
#pragma once

#include "output/SpreadsheetApp.h"

#include <QDir>
#include <QString>

namespace quillorn {

class XlsxSpreadsheetApp final : public SpreadsheetApp {
public:
    // decimalSeparator: the user's, accepted beside '.' in decimal numbers. tempDir: where the
    // library prefers to keep the rows written so far while the sheet is being built (it falls
    // back to the system's temporary directory).
    explicit XlsxSpreadsheetApp(QString decimalSeparator, QString tempDir = QDir::tempPath());

    // True when the library can start a workbook and the temporary file that holds its rows;
    // the probe workbook is discarded without writing any file.
    bool Available() const override;

    // The workbook is assembled beside the result file under a hidden temporary name and moved
    // to its path by SaveAs, so a failed conversion never leaves a half-written workbook under
    // the real name; part files that a killed conversion left there are removed first. Numbers,
    // widths and margins are written with a decimal point under any locale. Raises Failure when
    // the file cannot be read or holds more lines or fields than a sheet can (1,048,576 rows,
    // 16,384 columns). A text longer than a cell can hold (32,767 characters) is cut to that
    // length; the result file keeps it whole.
    std::unique_ptr<ImportedWorkbook> Import(const QString& resultFilePath) override;

private:
    QString decimalSeparator_;
    QString tempDir_;
};

}  // namespace quillorn
