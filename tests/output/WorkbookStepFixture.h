// The workbook step over a result table written in a temporary folder, and a spreadsheet writer
// that is not there.
#pragma once

#include <QProcess>
#include "output/DesktopOpener.h"
#include "output/ResultTable.h"
#include "output/WorkbookStep.h"
#include "output/XlsxSpreadsheetApp.h"
#include "platform/Errors.h"
#include "standin/SampleProfile.h"
#include "tests/output/OutputFixture.h"
#include "tests/support/RecordingOpener.h"
#include "tests/support/XlsxReader.h"

namespace quillorn::test {

// A writer that is not there: the step must neither be due nor touch it.
class MissingSpreadsheet final : public SpreadsheetApp {
public:
    bool Available() const override { return false; }
    std::unique_ptr<ImportedWorkbook> Import(const QString&) override {
        ADD_FAILURE() << "imported although unavailable";
        throw Failure(QStringLiteral("unavailable"));
    }
};

class WorkbookStepTest : public test::OutputFixture {
protected:
    // Opens the table, writes count reviews and closes it; the log is emptied afterwards.
    void WriteTable(int count, bool vertical = true) {
        table.Open(vertical);
        table.BeginCard();
        for (int i = 0; i < count; ++i) {
            ReviewRecord review;
            review.Id = QString::number(i);
            review.HasAuthor = i % 2 == 0;
            review.AuthorName = QStringLiteral("Анна");
            review.Text = QStringLiteral("Отзыв %1\r\nс переносом 👍").arg(i);
            review.DateCreated = QStringLiteral("2023-05-1%1T10:20:30+03:00").arg(i);
            review.Rating = QStringLiteral("5");
            review.LikesCount = QString::number(i);
            table.AddReview(profile, review);
        }
        table.EndCard(profile, true);
        table.Close();
        sink.Clear();
    }

    // The log's messages without their time stamps.
    QStringList Messages() const {
        QStringList messages;
        for (const QString& line : sink.Lines()) {
            messages.append(line.mid(Stamp().size()));
        }
        return messages;
    }

    XlsxSpreadsheetApp spreadsheet{locale.DecimalSeparator(), tmp.path()};
    RecordingOpener opener;
    WorkbookStep step{log, spreadsheet, opener};
    ResultTable table{log, clock, dir};
    CardProfile profile = standin::SampleProfile(QStringLiteral("70000001012345678"));
};

}  // namespace quillorn::test
