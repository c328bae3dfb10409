// What the workbook step needs of a spreadsheet writer: whether it can work at all, importing a
// result file into a sheet, the number of rows that sheet has, and saving it as a workbook.
#pragma once

#include <QString>

#include <memory>

namespace quillorn {

// A result file imported into the first sheet of a workbook not yet saved.
class ImportedWorkbook {
public:
    virtual ~ImportedWorkbook() = default;

    // Rows of the sheet: the lines of the result file, header line included.
    virtual qint64 RowCount() const = 0;

    // Saves the workbook as an Office Open XML file at path; an existing file there is never
    // replaced. Called at most once. Raises Failure with the reason.
    virtual void SaveAs(const QString& path) = 0;
};

class SpreadsheetApp {
public:
    virtual ~SpreadsheetApp() = default;

    // Whether a workbook can be made on this machine. Leaves nothing behind.
    virtual bool Available() const = 0;

    // Reads the result file (UTF-8 with mark, CR LF line ends, tab-separated, data cells in double
    // quotes) into a sheet: one row per line in file order, one cell per field without its
    // enclosing quotes. Raises Failure with the reason.
    virtual std::unique_ptr<ImportedWorkbook> Import(const QString& resultFilePath) = 0;
};

}  // namespace quillorn
