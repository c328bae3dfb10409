// The result file of one run: "data<tick>.tab", tab-separated UTF-8 with a mark, CR LF line ends,
// every data cell in double quotes; tabs and line breaks in the firm's texts and in review texts
// are escaped ("&#9;", "&#10;", "&#13;") so they cannot split a row. Two layouts: one row per new
// review (vertical, 16 columns) or one row per card with a cell for each new review's text. Every
// completed row is in the file when the call that completed it returns.
#pragma once

#include "output/CardProfile.h"
#include "output/ReviewRecord.h"
#include "output/TakenReviews.h"
#include "platform/AppDir.h"
#include "platform/LockedFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillorn {

class Clock;
class RunLog;

class ResultTable {
public:
    // Keeps references to log, clock and taken; they must outlive the table. taken, when given,
    // hears of every row holding reviews: delivered once it is in the file, lost when its write
    // fails or it can no longer be written. A row whose delivery cannot be recorded is cut off the
    // file again and lost, and the OutputFailure ends the run. taken also hears of every line
    // before it is written, the header included, so that the next run can settle a line that was
    // being written when this run ended.
    ResultTable(RunLog& log, Clock& clock, AppDir dir, TakenReviews* taken = nullptr);

    // Names the file after the tick counter ("data%d.tab"; the next free number when a result or
    // workbook file of that number exists), logs ": Данные будут записываться в файл " + path,
    // creates the file (locked against other writers), writes the mark and the header row.
    // Raises OutputFailure "Cannot create file \"<path>\". <reason>" or "Cannot write file ...".
    void Open(bool verticalMode);

    // Starts an attempt at a card. In the per-card layout a row from an earlier attempt that holds
    // reviews (taken, so never offered again) is written first rather than dropped.
    void BeginCard();

    // Adds a new review of the current card: the vertical layout writes its row at once, the
    // per-card layout adds a cell with its text to the card's row.
    void AddReview(const CardProfile& profile, const ReviewRecord& review);

    // Ends the card: writes the per-card row, or the row of a card without new reviews unless
    // noReviewsNoWrites is set.
    void EndCard(const CardProfile& profile, bool noReviewsNoWrites);

    // Writes the per-card row under construction when it holds at least one review; returns whether
    // a row was written. For a run that stops or fails between a card's reviews. Raises
    // OutputFailure when the write fails; the row then stays pending, its reviews lost. After an
    // earlier failed write nothing is attempted and the row's reviews are lost.
    bool WritePendingRow();

    // Writes a pending per-card row holding reviews (WritePendingRow), then closes the file. Does
    // nothing when the file is not open. The file is closed even when that last write raises
    // OutputFailure; after an earlier failed write to this file nothing more is attempted, so Close
    // in the clean-up after such a failure does not raise again.
    void Close();

    bool IsOpen() const { return file_.IsOpen(); }
    bool VerticalMode() const { return verticalMode_; }
    // Data rows written; the header row does not count.
    int RowCount() const { return rowCount_; }
    // Full path of the result file; empty before Open.
    const QString& FilePath() const { return filePath_; }
    // The file name with ".tab" replaced by ".xlsx", without directory; empty before Open.
    const QString& WorkbookName() const { return workbookName_; }

    // The header rows of the two layouts, without line break.
    static QString VerticalHeader();
    static QString PerCardHeader();

private:
    void WriteCurrentRow();
    void CacheProfile(const CardProfile& profile);
    void Write(const QByteArray& bytes);
    void LoseRowReviews();
    void TakeBackRow(qint64 rowStart);

    RunLog& log_;
    Clock& clock_;
    AppDir dir_;
    LockedFile file_;
    bool verticalMode_ = true;
    int rowCount_ = 0;
    QString filePath_;
    QString fileName_;
    QString workbookName_;
    TakenReviews* taken_;
    QByteArray currentRow_;  // the row under construction, as UTF-8
    QStringList rowIds_;     // the ids of the reviews in it, not yet delivered
    bool noNewReviewYet_ = true;
    bool writeFailed_ = false;
    qint64 fileSize_ = 0;  // the bytes written to the file so far
    CardProfile cachedProfile_;
    QByteArray profileCells_;
    QByteArray urlCell_;
};

}  // namespace quillorn
