#include "output/WorkbookStep.h"

#include "output/DesktopOpener.h"
#include "output/ResultTable.h"
#include "output/RunLog.h"
#include "output/SpreadsheetApp.h"
#include "platform/Errors.h"

#include <QFileInfo>

#include <exception>

namespace quillorn {

WorkbookStep::WorkbookStep(RunLog& log, SpreadsheetApp& spreadsheet, DesktopOpener& opener)
    : log_(log), spreadsheet_(spreadsheet), opener_(opener) {}

bool WorkbookStep::Due(const ResultTable& table) const {
    return table.RowCount() > 0 && spreadsheet_.Available();
}

QString WorkbookStep::WorkbookPath(const ResultTable& table) {
    const QString& resultPath = table.FilePath();
    QString directory =
        resultPath.left(resultPath.size() - QFileInfo(resultPath).fileName().size());
    return directory + table.WorkbookName();
}

bool WorkbookStep::Run(const ResultTable& table) noexcept {
    log_.Add(QStringLiteral(": Запускаем формирование файла Excel..."));
    try {
        QString path = WorkbookPath(table);
        auto workbook = spreadsheet_.Import(table.FilePath());
        log_.Add(QStringLiteral(": Файл сформирован, в нем %1 строк").arg(workbook->RowCount()));
        workbook->SaveAs(path);
        log_.Add(QStringLiteral(": Открываем файл с результатами ") + path);
        opener_.Open(path);
        return true;
    } catch (const Error& error) {
        log_.Add(QStringLiteral(": Ошибка: ") + error.Message());
    } catch (const std::exception& error) {
        log_.Add(QStringLiteral(": Ошибка: ") + QString::fromLocal8Bit(error.what()));
    }
    return false;
}

}  // namespace quillorn
