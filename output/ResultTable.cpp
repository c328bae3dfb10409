#include "output/ResultTable.h"

#include "output/RunLog.h"
#include "output/TakenReviews.h"
#include "platform/Clock.h"
#include "platform/Errors.h"
#include "platform/TickName.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace quillorn {
namespace {

// What a cell's text goes through before it is written. A tab or a line break anywhere would split
// the row, so in every cell they become "&#9;", "&#10;", "&#13;". A double quote would end the cell
// early in the spreadsheet's reading: it becomes an apostrophe, except in the firm's own texts.
enum class Clean {
    KeepQuotes,   // branch id, firm name, city, address
    Apostrophes,  // every other cell
};

// Appends cells to a row held as UTF-8 bytes, encoding each text straight into the row. The row
// grows in large steps while cells are added and is cut to its length when the builder goes.
class RowBuilder {
public:
    explicit RowBuilder(QByteArray& row) : row_(row), used_(row.size()) {}
    ~RowBuilder() { row_.resize(used_); }
    RowBuilder(const RowBuilder&) = delete;
    RowBuilder& operator=(const RowBuilder&) = delete;

    RowBuilder& Cell(QStringView text, Clean clean = Clean::Apostrophes, bool leadSpace = false) {
        return Pieces({text}, clean, leadSpace);
    }
    RowBuilder& SpacedCell(QStringView text) { return Cell(text, Clean::Apostrophes, true); }

    // One cell made of several texts, each cleaned the same way.
    RowBuilder& Pieces(std::initializer_list<QStringView> texts, Clean clean,
                       bool leadSpace = false) {
        qsizetype length = 0;
        for (QStringView t : texts)
            length += t.size();
        // Room for the worst case: an entity of five bytes for every code unit (UTF-8 needs at
        // most three); then the separator, the quotes and the space.
        char* out = Room(5 * length + 4);
        if (used_ > 0)
            *out++ = '\t';
        *out++ = '"';
        if (leadSpace)
            *out++ = ' ';
        for (QStringView t : texts)
            out = Encode(out, t, clean);
        *out++ = '"';
        used_ = out - row_.constData();
        return *this;
    }

    // Cells encoded before, with their separators, appended as they are.
    RowBuilder& Encoded(QByteArrayView cells) {
        if (cells.isEmpty())
            return *this;
        char* out = Room(cells.size() + 1);
        if (used_ > 0)
            *out++ = '\t';
        std::memcpy(out, cells.data(), static_cast<size_t>(cells.size()));
        used_ = out + cells.size() - row_.constData();
        return *this;
    }

private:
    // Cleaning and UTF-8 encoding in one pass: rows are written one system call each, and this
    // loop is most of what a row costs besides that call. A lone surrogate becomes '?', as in
    // the rest of the program.
    static char* Encode(char* out, QStringView text, Clean clean) {
        const char16_t* p = text.utf16();
        const char16_t* const end = p + text.size();
        while (p < end) {
            const char16_t c = *p++;
            if (c < 0x80) {
                if (c <= u'"') {
                    const std::string_view replacement = Replacement(c, clean);
                    if (!replacement.empty()) {
                        std::memcpy(out, replacement.data(), replacement.size());
                        out += replacement.size();
                        continue;
                    }
                }
                *out++ = static_cast<char>(c);
            } else if (c < 0x800) {
                *out++ = static_cast<char>(0xC0 | (c >> 6));
                *out++ = static_cast<char>(0x80 | (c & 0x3F));
            } else if (!QChar::isSurrogate(c)) {
                *out++ = static_cast<char>(0xE0 | (c >> 12));
                *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *out++ = static_cast<char>(0x80 | (c & 0x3F));
            } else if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p)) {
                const char32_t u = QChar::surrogateToUcs4(c, *p++);
                *out++ = static_cast<char>(0xF0 | (u >> 18));
                *out++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
                *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                *out++ = static_cast<char>(0x80 | (u & 0x3F));
            } else {
                *out++ = '?';
            }
        }
        return out;
    }

    static std::string_view Replacement(char16_t c, Clean clean) {
        if (c == u'"')
            return clean == Clean::KeepQuotes ? std::string_view() : "'";
        switch (c) {
            case u'\t':
                return "&#9;";
            case u'\n':
                return "&#10;";
            case u'\r':
                return "&#13;";
            default:
                return {};
        }
    }

    // A place for at least n more bytes after the used ones.
    char* Room(qsizetype n) {
        if (used_ + n > row_.size())
            row_.resize(std::max(used_ + n, 2 * row_.size() + 256));
        return row_.data() + used_;
    }

    QByteArray& row_;
    qsizetype used_;
};

// Cells 1 to 6. The vertical row of a card without new reviews also sets the count apart.
void ProfileCells(RowBuilder& row, const CardProfile& p, bool spacedCount) {
    row.Cell(p.BranchId, Clean::KeepQuotes)
        .Cell(p.FirmName, Clean::KeepQuotes)
        .Cell(p.City, Clean::KeepQuotes)
        .Cell(p.Address, Clean::KeepQuotes)
        .SpacedCell(p.Rating)
        .Cell(p.RatingCount, Clean::Apostrophes, spacedCount);
}

// Positions from..to (counting from 1) of d, as far as d reaches.
QStringView Part(QStringView d, qsizetype from, qsizetype to) {
    if (d.size() < from)
        return {};
    return d.sliced(from - 1, std::min(to, d.size()) - from + 1);
}

// profileCells: cells 1 to 6 of p, encoded; urlCell: cell 16.
void VerticalReviewRow(QByteArray& bytes, QByteArrayView profileCells, QByteArrayView urlCell,
                       const ReviewRecord& r) {
    RowBuilder row(bytes);
    row.Encoded(profileCells);
    if (r.HasAuthor)
        row.Cell(r.AuthorName).Cell(r.AuthorReviewCount).Cell(r.AuthorProfileUrl);
    else
        row.Cell(u"Анонимный отзыв").Cell({}).Cell({});
    row.Cell(r.Text)
        .Cell(r.DateCreated)
        .Pieces({Part(r.DateCreated, 9, 10), u".", Part(r.DateCreated, 6, 7), u".",
                 Part(r.DateCreated, 1, 4)},
                Clean::Apostrophes)
        .SpacedCell(r.Rating)
        .Cell(r.LikesCount)
        .Cell(r.OfficialAnswer)
        .Encoded(urlCell);
}

void NoReviewRow(QByteArray& bytes, const CardProfile& p, bool vertical) {
    RowBuilder row(bytes);
    ProfileCells(row, p, vertical);
    if (vertical) {
        for (int i = 0; i < 9; ++i)
            row.Cell({});
    }
    row.Cell(p.CardUrl);
}

}  // namespace

ResultTable::ResultTable(RunLog& log, Clock& clock, AppDir dir, TakenReviews* taken)
    : log_(log), clock_(clock), dir_(std::move(dir)), taken_(taken) {}

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
    rowIds_.clear();
    noNewReviewYet_ = true;
    writeFailed_ = false;
    fileSize_ = 0;

    const QString name = FreeNumberedName(dir_, QStringLiteral("data"), clock_.Tick(),
                                          {QStringLiteral(".tab"), QStringLiteral(".xlsx")});
    filePath_ = dir_.FilePath(name);
    fileName_ = name;
    workbookName_ = QString(name).replace(QLatin1String(".tab"), QLatin1String(".xlsx"));
    log_.Add(QStringLiteral(": Данные будут записываться в файл ") + filePath_);

    const QString header = verticalMode_ ? VerticalHeader() : PerCardHeader();
    const QByteArray firstLine = QByteArray("\xEF\xBB\xBF") + header.toUtf8() + "\r\n";
    // Announced before the file exists, so that a run ended before the header is in it leaves a
    // record naming the empty file.
    if (taken_)
        taken_->RowComing(name, 0, firstLine, {});
    if (!file_.Open(filePath_, LockedFile::Mode::CreateNew)) {
        if (taken_)
            taken_->NoRowComing();
        throw OutputFailure(
            QStringLiteral("Cannot create file \"%1\". %2").arg(filePath_, file_.ErrorText()));
    }
    Write(firstLine);
}

void ResultTable::BeginCard() {
    WritePendingRow();
    currentRow_.clear();
    rowIds_.clear();
    noNewReviewYet_ = true;
}

void ResultTable::AddReview(const CardProfile& profile, const ReviewRecord& review) {
    if (verticalMode_) {
        if (!(profile == cachedProfile_) || profileCells_.isEmpty())
            CacheProfile(profile);
        currentRow_.resize(0);  // keeps its capacity for the next row
        VerticalReviewRow(currentRow_, profileCells_, urlCell_, review);
        if (taken_) {
            rowIds_.resize(0);  // keeps its capacity
            rowIds_.append(review.Id);
        }
        WriteCurrentRow();
    } else {
        RowBuilder row(currentRow_);
        if (currentRow_.isEmpty())
            ProfileCells(row, profile, false);
        if (noNewReviewYet_)
            row.Cell(profile.CardUrl);
        row.Cell(review.Text);
        if (taken_)
            rowIds_.append(review.Id);
    }
    noNewReviewYet_ = false;
}

void ResultTable::CacheProfile(const CardProfile& profile) {
    // Every review row of a card repeats its profile; it is encoded once per card.
    cachedProfile_ = profile;
    profileCells_.resize(0);
    {
        RowBuilder cells(profileCells_);
        ProfileCells(cells, profile, false);
    }
    urlCell_.resize(0);
    RowBuilder(urlCell_).Cell(profile.CardUrl);
}

void ResultTable::EndCard(const CardProfile& profile, bool noReviewsNoWrites) {
    if (noNewReviewYet_) {
        currentRow_.resize(0);
        if (!noReviewsNoWrites) {
            NoReviewRow(currentRow_, profile, verticalMode_);
            WriteCurrentRow();
        }
    } else if (!verticalMode_) {
        WriteCurrentRow();
    }
    currentRow_.resize(0);
    noNewReviewYet_ = true;
}

bool ResultTable::WritePendingRow() {
    if (verticalMode_ || noNewReviewYet_ || currentRow_.isEmpty() || !file_.IsOpen())
        return false;
    if (writeFailed_) {
        // Nothing more goes into a file that refused a write.
        LoseRowReviews();
        return false;
    }
    WriteCurrentRow();
    currentRow_.resize(0);
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

void ResultTable::WriteCurrentRow() {
    // Row and line break in one write: a row is in the file whole or not at all.
    currentRow_.append("\r\n");
    const qint64 rowStart = fileSize_;
    try {
        if (taken_)
            taken_->RowComing(fileName_, rowStart, currentRow_, rowIds_);
        Write(currentRow_);
        if (taken_ && !rowIds_.isEmpty())
            taken_->Delivered(rowIds_);
    } catch (const OutputFailure&) {
        currentRow_.chop(2);
        if (fileSize_ > rowStart)
            TakeBackRow(rowStart);
        LoseRowReviews();
        throw;
    }
    currentRow_.chop(2);
    ++rowCount_;
    rowIds_.clear();
}

void ResultTable::TakeBackRow(qint64 rowStart) {
    // The row is in the file but its ids could not be recorded: without them the next run would
    // deliver it again. Cutting a file shorter needs no room, so this works on a full disk too.
    writeFailed_ = true;
    if (file_.Truncate(rowStart))
        fileSize_ = rowStart;
}

void ResultTable::LoseRowReviews() {
    if (taken_ && !rowIds_.isEmpty())
        taken_->Lost(rowIds_);
    rowIds_.clear();
}

void ResultTable::Write(const QByteArray& bytes) {
    try {
        file_.Write(bytes);
    } catch (const OutputFailure&) {
        writeFailed_ = true;
        throw;
    }
    fileSize_ += bytes.size();
}

}  // namespace quillorn
