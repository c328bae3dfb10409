#include "output/ResultTable.h"

#include "output/RunLog.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/TickName.h"

#include <QStringList>

namespace quillorn {
namespace {

const QChar kTab(u'\t');

// A double quote would end the cell early in the spreadsheet's reading.
QString Apostrophes(QString text) {
    return text.replace(QLatin1Char('"'), QLatin1Char('\''));
}

// Review text and official answer: line breaks and tabs would split the row.
QString Escaped(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1String("&#9;"));
    text.replace(QLatin1Char('\n'), QLatin1String("&#10;"));
    text.replace(QLatin1Char('\r'), QLatin1String("&#13;"));
    return Apostrophes(std::move(text));
}

QString Cell(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}
QString SpacedCell(const QString& text) {
    return QLatin1String("\" ") + text + QLatin1Char('"');
}

// Cells 1 to 6. The vertical row of a card without new reviews also sets the count apart.
QStringList ProfileCells(const CardProfile& p, bool spacedCount) {
    const QString count = Apostrophes(p.RatingCount);
    return {Cell(p.BranchId),
            Cell(p.FirmName),
            Cell(p.City),
            Cell(p.Address),
            SpacedCell(Apostrophes(p.Rating)),
            spacedCount ? SpacedCell(count) : Cell(count)};
}

// d[9..10] "." d[6..7] "." d[1..4] of the creation date, as far as it reaches.
QString SecondDate(const QString& d) {
    return d.mid(8, 2) + QLatin1Char('.') + d.mid(5, 2) + QLatin1Char('.') + d.mid(0, 4);
}

QString VerticalReviewRow(const CardProfile& p, const ReviewRecord& r) {
    QStringList cells = ProfileCells(p, false);
    if (r.HasAuthor) {
        cells << Cell(Apostrophes(r.AuthorName)) << Cell(Apostrophes(r.AuthorReviewCount))
              << Cell(Apostrophes(r.AuthorProfileUrl));
    } else {
        cells << Cell(QStringLiteral("Анонимный отзыв")) << Cell(QString()) << Cell(QString());
    }
    cells << Cell(Escaped(r.Text)) << Cell(Apostrophes(r.DateCreated))
          << Cell(Apostrophes(SecondDate(r.DateCreated))) << SpacedCell(Apostrophes(r.Rating))
          << Cell(Apostrophes(r.LikesCount)) << Cell(Escaped(r.OfficialAnswer))
          << Cell(Apostrophes(p.CardUrl));
    return cells.join(kTab);
}

QString NoReviewRow(const CardProfile& p, bool vertical) {
    QStringList cells = ProfileCells(p, vertical);
    if (vertical) {
        for (int i = 0; i < 9; ++i)
            cells << Cell(QString());
    }
    cells << Cell(Apostrophes(p.CardUrl));
    return cells.join(kTab);
}

}  // namespace

ResultTable::ResultTable(RunLog& log, Clock& clock, AppDir dir)
    : log_(log), clock_(clock), dir_(std::move(dir)) {}

QString ResultTable::VerticalHeader() {
    return QStringLiteral(
        "ID Организации\tНазвание\tГород\tАдрес\tОбщая оценка\tКоличество оценок\tАвтор "
        "отзыва\tУровень\tПрофиль автора\tТекст отзыва\tДата отзыва\tДата отзыва2\tОценка в "
        "отзыве\tЛайков\tОтвет организации\tКарточка организации");
}

QString ResultTable::PerCardHeader() {
    return QStringLiteral(
        "ID Организации\tНазвание\tГород\tАдрес\tОбщая оценка\tКоличество оценок\tКарточка "
        "организации");
}

void ResultTable::Open(bool verticalMode) {
    Close();
    verticalMode_ = verticalMode;
    rowCount_ = 0;
    currentRow_.clear();
    noNewReviewYet_ = true;
    writeFailed_ = false;

    const QString name = FreeNumberedName(dir_, QStringLiteral("data"), clock_.Tick(),
                                          {QStringLiteral(".tab"), QStringLiteral(".xlsx")});
    filePath_ = dir_.FilePath(name);
    workbookName_ = QString(name).replace(QLatin1String(".tab"), QLatin1String(".xlsx"));
    log_.Add(QStringLiteral(": Данные будут записываться в файл ") + filePath_);

    if (!file_.Open(filePath_, LockedFile::Mode::CreateNew))
        throw OutputFailure(
            QStringLiteral("Cannot create file \"%1\". %2").arg(filePath_, file_.ErrorText()));
    const QString header = verticalMode_ ? VerticalHeader() : PerCardHeader();
    Write(QByteArray("\xEF\xBB\xBF") + header.toUtf8() + "\r\n");
}

void ResultTable::BeginCard() {
    WritePendingRow();
    currentRow_.clear();
    noNewReviewYet_ = true;
}

void ResultTable::AddReview(const CardProfile& profile, const ReviewRecord& review) {
    if (verticalMode_) {
        currentRow_.clear();
        WriteRow(VerticalReviewRow(profile, review));
    } else {
        if (currentRow_.isEmpty())
            currentRow_ = ProfileCells(profile, false).join(kTab);
        if (noNewReviewYet_)
            currentRow_ += kTab + Cell(Apostrophes(profile.CardUrl));
        currentRow_ += kTab + Cell(Escaped(review.Text));
    }
    noNewReviewYet_ = false;
}

void ResultTable::EndCard(const CardProfile& profile, bool noReviewsNoWrites) {
    if (noNewReviewYet_) {
        if (!noReviewsNoWrites)
            WriteRow(NoReviewRow(profile, verticalMode_));
    } else if (!verticalMode_) {
        WriteRow(currentRow_);
    }
    currentRow_.clear();
    noNewReviewYet_ = true;
}

bool ResultTable::WritePendingRow() {
    if (verticalMode_ || noNewReviewYet_ || currentRow_.isEmpty() || !file_.IsOpen() ||
        writeFailed_)
        return false;
    WriteRow(currentRow_);
    currentRow_.clear();
    noNewReviewYet_ = true;
    return true;
}

void ResultTable::Close() {
    if (!file_.IsOpen())
        return;
    struct CloseOnExit {
        LockedFile& file;
        ~CloseOnExit() { file.Close(); }
    } closer{file_};
    WritePendingRow();
}

void ResultTable::WriteRow(const QString& row) {
    // Row and line break in one write: a row is in the file whole or not at all.
    Write(row.toUtf8() + "\r\n");
    ++rowCount_;
}

void ResultTable::Write(const QByteArray& bytes) {
    try {
        file_.Write(bytes);
    } catch (const OutputFailure&) {
        writeFailed_ = true;
        throw;
    }
}

}  // namespace quillorn
