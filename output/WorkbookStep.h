// The last output of a normal run: the result file made into a workbook beside it, with the same
// base name, and handed to the desktop to open. Whatever goes wrong inside the step is logged and
// ends the step; the run goes on with its clean-up.
#pragma once

#include <QString>

namespace quillorn {

class DesktopOpener;
class ResultTable;
class RunLog;
class SpreadsheetApp;

class WorkbookStep {
public:
    // Keeps references; they must outlive the step.
    WorkbookStep(RunLog& log, SpreadsheetApp& spreadsheet, DesktopOpener& opener);

    // Whether the run makes a workbook: the spreadsheet writer is available and the closed table
    // wrote at least one data row. Logs nothing.
    bool Due(const ResultTable& table) const;

    // Logs ": Запускаем формирование файла Excel...", imports the closed result file, logs the
    // sheet's row count (header included), saves the workbook, logs ": Открываем файл с
    // результатами " + path and asks the desktop to open it. A failure logs ": Ошибка: " + its
    // message and ends the step. Never raises. Returns whether the workbook was saved.
    bool Run(const ResultTable& table) noexcept;

    // The workbook's path: the result file's directory followed by the table's workbook name.
    static QString WorkbookPath(const ResultTable& table);

private:
    RunLog& log_;
    SpreadsheetApp& spreadsheet_;
    DesktopOpener& opener_;
};

}  // namespace quillorn
