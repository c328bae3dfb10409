#include "output/XlsxSpreadsheetApp.h"

#include "output/ClassicNumberFormat.h"
#include "output/StagingFile.h"
#include "output/XlsxCellValue.h"
#include "platform/Errors.h"
#include "platform/HexDigits.h"
#include "platform/RenameWithoutReplacing.h"
#include "platform/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quillorn {
namespace {

constexpr qint64 kReadChunk = 1 << 20;
constexpr std::size_t kMaxCellUnits = 32767;  // UTF-16 code units a cell holds
constexpr double kMinColumnWidth = 8.43;
constexpr int kMaxColumnWidth = 60;
constexpr qint64 kZip64Threshold = qint64(1) << 30;
constexpr std::size_t kMaxLinks = 65530;  // links a sheet may hold
constexpr qsizetype kMaxSheetNameUnits = 31;
constexpr std::string_view kDateColumnName = "Дата отзыва2";
// Columns whose web addresses become links: the author's profile and the firm's card.
constexpr std::string_view kLinkColumnNames[] = {"Профиль автора", "Карточка организации"};
constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";

// A workbook given up before it is saved (the availability probe, a failed import). The library
// frees it without closing its sheets' row stores, temporary files that would stay open until the
// program ends, and on Windows stay on disk as long: they are closed first.
struct WorkbookDeleter {
    void operator()(lxw_workbook* workbook) const {
        lxw_worksheet* sheet = nullptr;
        LXW_FOREACH_WORKSHEET(sheet, workbook) {
            if (sheet->optimize_tmpfile) {
                std::fclose(sheet->optimize_tmpfile);
                sheet->optimize_tmpfile = nullptr;
            }
        }
        lxw_workbook_free(workbook);
    }
};
using WorkbookPtr = std::unique_ptr<lxw_workbook, WorkbookDeleter>;

// Lines of a file ending in CR LF; a lone CR or LF stays inside its line. Holds one line (and one
// read chunk) in memory at a time.
class CrLfLineReader {
public:
    explicit CrLfLineReader(QFile& file) : file_(file) {}

    // The next line without its CR LF, valid and writable until the next call; false at the end.
    bool Next(char*& begin, std::size_t& size) {
        for (;;) {
            std::size_t end = buffer_.find("\r\n", scanFrom_);
            if (end != std::string::npos) {
                return Take(end, end + 2, begin, size);
            }
            scanFrom_ = buffer_.size() > start_ ? std::max(start_, buffer_.size() - 1) : start_;
            if (!Fill()) {
                if (start_ == buffer_.size()) {
                    return false;
                }
                return Take(buffer_.size(), buffer_.size(), begin, size);
            }
        }
    }

private:
    bool Take(std::size_t end, std::size_t next, char*& begin, std::size_t& size) {
        begin = buffer_.data() + start_;
        size = end - start_;
        start_ = next;
        scanFrom_ = next;
        return true;
    }

    // Drops the lines already handed out and appends the next chunk; false at the end of file.
    bool Fill() {
        if (atEnd_) {
            return false;
        }
        buffer_.erase(0, start_);
        scanFrom_ -= start_;
        start_ = 0;
        std::size_t old = buffer_.size();
        buffer_.resize(old + kReadChunk);
        qint64 got = file_.read(buffer_.data() + old, kReadChunk);
        if (got < 0) {
            throw Failure(QStringLiteral("Cannot read file \"%1\". %2")
                              .arg(file_.fileName(), file_.errorString()));
        }
        buffer_.resize(old + static_cast<std::size_t>(got));
        atEnd_ = got == 0;
        return !atEnd_;
    }

    QFile& file_;
    std::string buffer_;
    std::size_t start_ = 0;
    std::size_t scanFrom_ = 0;
    bool atEnd_ = false;
};

bool IsValidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        unsigned min = 0;
        unsigned cp = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) {
            return false;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        p += extra + 1;
    }
    return true;
}

// Spreadsheet text reads "_xHHHH_" as an escaped character; a text that holds such a sequence
// literally gets its underscore escaped, so it reads back as written.
bool HasEscapeLookalike(std::string_view s) {
    for (std::size_t at = s.find("_x"); at != std::string_view::npos; at = s.find("_x", at + 1)) {
        if (at + 7 <= s.size() && IsHexDigit(s[at + 2]) && IsHexDigit(s[at + 3]) &&
            IsHexDigit(s[at + 4]) && IsHexDigit(s[at + 5]) && s[at + 6] == '_') {
            return true;
        }
    }
    return false;
}

std::string EscapeLookalikes(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 14);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && HasEscapeLookalike(s.substr(i, 7))) {
            out += "_x005F";
        }
        out += s[i];
    }
    return out;
}

// The longest prefix of s that fits into a cell, cut at a character boundary.
std::size_t CellPrefixBytes(std::string_view s) {
    if (s.size() <= kMaxCellUnits) {
        return s.size();  // never more UTF-16 units than UTF-8 bytes
    }
    std::size_t units = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if ((c & 0xC0) == 0x80) {
            continue;
        }
        std::size_t width = c >= 0xF0 ? 2 : 1;
        if (units + width > kMaxCellUnits) {
            return i;
        }
        units += width;
    }
    return s.size();
}

// Characters of the longest line of s, counting only as far as a column can usefully widen: a
// text with line breaks wraps in its cell, so only its widest line asks for room.
int DisplayWidth(std::string_view s) {
    int widest = 0;
    int chars = 0;
    for (char c : s) {
        if (c == '\n') {
            chars = 0;
            continue;
        }
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            widest = std::max(widest, ++chars);
            if (widest >= kMaxColumnWidth) {
                break;
            }
        }
    }
    return widest;
}

// A field's text made safe for the sheet: valid UTF-8 without NUL, escape look-alikes protected,
// cut to a cell's capacity. Returns a view of the original when nothing had to change.
class CellText {
public:
    std::string_view Prepare(std::string_view raw) {
        std::string_view text = raw;
        if (!IsValidUtf8(text) || text.find('\0') != std::string_view::npos) {
            owned_ = QString::fromUtf8(text.data(), qsizetype(text.size())).toUtf8().toStdString();
            ReplaceNuls();
            text = owned_;
        }
        if (text.find("_x") != std::string_view::npos && HasEscapeLookalike(text)) {
            owned_ = EscapeLookalikes(text);
            text = owned_;
        }
        return text.substr(0, CellPrefixBytes(text));
    }

private:
    void ReplaceNuls() {
        for (std::size_t at = owned_.find('\0'); at != std::string::npos;
             at = owned_.find('\0', at)) {
            owned_.replace(at, 1, kReplacementChar);
        }
    }

    std::string owned_;
};

// Writes the lines of a result file into the first sheet of a constant-memory workbook.
class SheetBuilder {
public:
    SheetBuilder(lxw_workbook* workbook, lxw_worksheet* sheet, std::string decimalSeparator)
        : workbook_(workbook), sheet_(sheet), decimalSeparator_(std::move(decimalSeparator)) {
        bold_ = workbook_add_format(workbook_);
        format_set_bold(bold_);
        date_ = workbook_add_format(workbook_);
        format_set_num_format(date_, "dd.mm.yyyy");
        wholeNumber_ = workbook_add_format(workbook_);
        format_set_num_format(wholeNumber_, "0");
        wrap_ = workbook_add_format(workbook_);
        format_set_text_wrap(wrap_);
    }

    void AddLine(char* begin, std::size_t size) {
        if (rows_ >= LXW_ROW_MAX) {
            throw Failure(QStringLiteral("The result file has more than %1 lines, more than a "
                                         "sheet can hold")
                              .arg(LXW_ROW_MAX));
        }
        auto row = static_cast<lxw_row_t>(rows_);
        std::string_view line(begin, size);
        std::size_t col = 0;
        std::size_t from = 0;
        for (;;) {
            std::size_t tab = line.find('\t', from);
            std::size_t to = tab == std::string_view::npos ? line.size() : tab;
            AddField(row, col, line.substr(from, to - from));
            if (tab == std::string_view::npos) {
                break;
            }
            from = tab + 1;
            ++col;
        }
        ++rows_;
    }

    // Column widths, the frozen header, the autofilter over every column that holds data, and a
    // printout in landscape, one page wide, with the header on every page.
    void Finish() {
        for (std::size_t col = 0; col < widths_.size(); ++col) {
            double width =
                std::max(kMinColumnWidth, double(std::min(widths_[col] + 2, kMaxColumnWidth)));
            Check(worksheet_set_column(sheet_, lxw_col_t(col), lxw_col_t(col), width, nullptr),
                  "column width");
        }
        if (rows_ > 0) {
            worksheet_freeze_panes(sheet_, 1, 0);
            Check(worksheet_autofilter(sheet_, 0, 0, lxw_row_t(rows_ - 1),
                                       lxw_col_t(std::max<std::size_t>(widths_.size(), 1) - 1)),
                  "autofilter");
            Check(worksheet_repeat_rows(sheet_, 0, 0), "print titles");
        }
        worksheet_set_landscape(sheet_);
        worksheet_fit_to_pages(sheet_, 1, 0);
    }

    qint64 Rows() const { return rows_; }

private:
    void AddField(lxw_row_t row, std::size_t col, std::string_view field) {
        if (col >= LXW_COL_MAX) {
            throw Failure(QStringLiteral("Line %1 of the result file has more than %2 fields, "
                                         "more than a sheet can hold")
                              .arg(row + 1)
                              .arg(LXW_COL_MAX));
        }
        if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
            field = field.substr(1, field.size() - 2);
        }
        if (row == 0) {
            if (field == kDateColumnName) {
                dateColumn_ = col;
            }
            if (std::find(std::begin(kLinkColumnNames), std::end(kLinkColumnNames), field) !=
                std::end(kLinkColumnNames)) {
                linkColumns_.resize(std::max(linkColumns_.size(), col + 1), false);
                linkColumns_[col] = true;
            }
            if (!field.empty()) {
                WriteText(row, col, field, bold_, 1);
            }
            return;
        }
        XlsxCellValue value = ClassifyCell(field, decimalSeparator_, col == dateColumn_);
        switch (value.kind) {
            case XlsxCellValue::Kind::Empty:
                return;
            case XlsxCellValue::Kind::Number:
                Check(worksheet_write_number(sheet_, row, lxw_col_t(col), value.number,
                                             NumberFormat(value.number)),
                      "number");
                break;
            case XlsxCellValue::Kind::Date: {
                lxw_datetime date{value.year, value.month, value.day, 0, 0, 0};
                Check(worksheet_write_datetime(sheet_, row, lxw_col_t(col), &date, date_), "date");
                break;
            }
            case XlsxCellValue::Kind::Text:
                WriteReadableText(row, col, field);
                return;
        }
        Widen(col, DisplayWidth(field));
    }

    // The general format shows integers of twelve digits and more in scientific notation, which
    // looks like lost digits; those get a format that shows every digit.
    lxw_format* NumberFormat(double number) const {
        bool wholeAndLong = std::fabs(number) >= 1e11 && std::floor(number) == number;
        return wholeAndLong ? wholeNumber_ : nullptr;
    }

    void WriteText(lxw_row_t row, std::size_t col, std::string_view field, lxw_format* format,
                   int extraWidth) {
        std::string_view text = cellText_.Prepare(field);
        TerminatedText terminated(text);
        Check(worksheet_write_string(sheet_, row, lxw_col_t(col), text.data(), format), "text");
        Widen(col, DisplayWidth(text) + extraWidth);
    }

    // A data cell's text as a reader wants it: escaped line breaks and tabs shown as what they
    // are, a text with line breaks wrapping in its cell, a web address in a link column a link.
    // Where a link cannot be made (the sheet's links used up, the library refusing the address)
    // the address is written as text: a link never costs the workbook.
    void WriteReadableText(lxw_row_t row, std::size_t col, std::string_view field) {
        std::string_view shown = ResolveCellEscapes(field, resolved_) ? resolved_ : field;
        std::string_view text = cellText_.Prepare(shown);
        const bool breaks = text.find('\n') != std::string_view::npos;
        // A text Prepare had to change (bytes replaced, underscores protected, cut) is no
        // address to follow.
        const bool unchanged = text.data() == shown.data() && text.size() == shown.size();
        TerminatedText terminated(text);
        if (!breaks && unchanged && IsLinkColumn(col) && links_ < kMaxLinks && IsWebLink(text) &&
            worksheet_write_url_opt(sheet_, row, lxw_col_t(col), text.data(), nullptr, text.data(),
                                    nullptr) == LXW_NO_ERROR) {
            ++links_;
        } else {
            Check(worksheet_write_string(sheet_, row, lxw_col_t(col), text.data(),
                                         breaks ? wrap_ : nullptr),
                  "text");
        }
        Widen(col, DisplayWidth(text));
    }

    // The library takes NUL-terminated text: the byte after a field (a tab, the closing quote,
    // the line's CR, the buffer's own terminator or a string's terminator) is set to NUL for the
    // call and restored afterwards.
    class TerminatedText {
    public:
        explicit TerminatedText(std::string_view text)
            : end_(const_cast<char*>(text.data() + text.size())), saved_(*end_) {
            *end_ = '\0';
        }
        ~TerminatedText() { *end_ = saved_; }
        TerminatedText(const TerminatedText&) = delete;
        TerminatedText& operator=(const TerminatedText&) = delete;

    private:
        char* end_;
        char saved_;
    };

    bool IsLinkColumn(std::size_t col) const {
        return col < linkColumns_.size() && linkColumns_[col];
    }

    void Widen(std::size_t col, int width) {
        if (col >= widths_.size()) {
            widths_.resize(col + 1, 0);
        }
        widths_[col] = std::max(widths_[col], width);
    }

    void Check(lxw_error error, const char* what) const {
        if (error != LXW_NO_ERROR) {
            throw Failure(QStringLiteral("Cannot add %1 to the workbook at row %2: %3")
                              .arg(QLatin1String(what))
                              .arg(rows_ + 1)
                              .arg(QString::fromUtf8(lxw_strerror(error))));
        }
    }

    lxw_workbook* workbook_;
    lxw_worksheet* sheet_;
    std::string decimalSeparator_;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_format* wholeNumber_ = nullptr;
    lxw_format* wrap_ = nullptr;
    std::size_t dateColumn_ = std::size_t(-1);
    std::vector<bool> linkColumns_;
    std::size_t links_ = 0;
    std::string resolved_;
    std::vector<int> widths_;
    CellText cellText_;
    qint64 rows_ = 0;
};

// Moves from to to, failing rather than replacing a file already at to; from goes either way.
void MoveWithoutReplacing(const QString& from, const QString& to) {
    QString reason;
    if (RenameWithoutReplacing(from, to, reason))
        return;
    QFile::remove(from);
    throw Failure(QStringLiteral("Cannot create file \"%1\". %2").arg(to, reason));
}

class XlsxImportedWorkbook final : public ImportedWorkbook {
public:
    XlsxImportedWorkbook(WorkbookPtr workbook, QString stagingPath, QByteArray tempDir, qint64 rows)
        : workbook_(std::move(workbook)),
          stagingPath_(std::move(stagingPath)),
          tempDir_(std::move(tempDir)),
          rows_(rows) {}

    qint64 RowCount() const override { return rows_; }

    void SaveAs(const QString& path) override {
        if (!workbook_) {
            throw Failure(QStringLiteral("The workbook has already been saved"));
        }
        if (QFileInfo::exists(path)) {
            throw Failure(
                QStringLiteral("Cannot create file \"%1\". The file already exists").arg(path));
        }
        // The part file exists only while it is being written and is locked for that time, so
        // that a later step removes it only when this process was killed while writing it.
        StagingFile staging;
        const bool claimed = staging.Claim(stagingPath_);
        lxw_error error = LXW_NO_ERROR;
        int systemError = 0;
        {
            ClassicNumberFormat numbers;  // widths and margins are written here
            errno = 0;
            error = workbook_close(workbook_.release());  // frees the workbook
            systemError = errno;
        }
        if (error != LXW_NO_ERROR) {
            if (claimed) {
                staging.Discard();
            } else {
                QFile::remove(stagingPath_);
            }
            QString message = QStringLiteral("Cannot create file \"%1\". %2")
                                  .arg(path, QString::fromUtf8(lxw_strerror(error)));
            if (systemError != 0) {
                message += QStringLiteral(" (%1)").arg(SystemErrorText(systemError));
            }
            throw Failure(message);
        }
        MoveWithoutReplacing(stagingPath_, path);
        staging.Release();
    }

private:
    WorkbookPtr workbook_;
    QString stagingPath_;
    QByteArray tempDir_;  // the workbook's options point into it
    qint64 rows_;
};

// The sheet is named after the result file without its extension ("data1421172"), as a
// spreadsheet program names an imported text file. Characters a sheet name cannot hold become
// "_" (an apostrophe too, which sheet references would have to double), and the name is cut to
// 31 characters; an empty name, or one the library still refuses, leaves the default name.
QByteArray SheetName(const QString& resultFilePath) {
    QString name = QFileInfo(resultFilePath).completeBaseName();
    for (QChar& c : name) {
        if (QStringView(u"[]:*?/\\'").contains(c)) {
            c = u'_';
        }
    }
    if (name.size() > kMaxSheetNameUnits) {
        name.truncate(name.at(kMaxSheetNameUnits - 1).isHighSurrogate() ? kMaxSheetNameUnits - 1
                                                                        : kMaxSheetNameUnits);
    }
    if (name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0) {
        return {};  // a name the spreadsheet program keeps for itself
    }
    return name.toUtf8();
}

struct StartedWorkbook {
    WorkbookPtr workbook;
    lxw_worksheet* sheet = nullptr;
};

StartedWorkbook StartWorkbook(const QByteArray& fileName, QByteArray& tempDir, bool zip64,
                              const QByteArray& sheetName = {}) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tempDir.data();
    options.use_zip64 = zip64 ? LXW_TRUE : LXW_FALSE;
    StartedWorkbook started;
    started.workbook.reset(workbook_new_opt(fileName.constData(), &options));
    if (started.workbook) {
        const bool named = !sheetName.isEmpty() &&
                           workbook_validate_sheet_name(started.workbook.get(),
                                                        sheetName.constData()) == LXW_NO_ERROR;
        started.sheet =
            workbook_add_worksheet(started.workbook.get(), named ? sheetName.constData() : nullptr);
    }
    return started;
}

}  // namespace

XlsxSpreadsheetApp::XlsxSpreadsheetApp(QString decimalSeparator, QString tempDir)
    : decimalSeparator_(std::move(decimalSeparator)), tempDir_(std::move(tempDir)) {}

bool XlsxSpreadsheetApp::Available() const {
    // Starting a sheet opens its row store, an unlinked temporary file; nothing else is written
    // until a workbook is closed, and a discarded one leaves nothing behind.
    QByteArray tempDir = QFile::encodeName(tempDir_);
    StartedWorkbook probe = StartWorkbook("unused.xlsx", tempDir, false);
    return probe.sheet != nullptr;
}

std::unique_ptr<ImportedWorkbook> XlsxSpreadsheetApp::Import(const QString& resultFilePath) {
    QFile file(resultFilePath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(
            QStringLiteral("Cannot open file \"%1\". %2").arg(resultFilePath, file.errorString()));
    }
    StagingFile::RemoveAbandoned(QFileInfo(resultFilePath).absolutePath());
    // Numbers are formatted as rows are written, before the workbook is saved.
    ClassicNumberFormat numbers;
    QString stagingPath = StagingFile::FreePath(resultFilePath);
    QByteArray tempDir = QFile::encodeName(tempDir_);
    StartedWorkbook started =
        StartWorkbook(QFile::encodeName(stagingPath), tempDir, file.size() > kZip64Threshold,
                      SheetName(resultFilePath));
    if (!started.sheet) {
        throw Failure(QStringLiteral("Cannot start a workbook: no temporary file for its rows "
                                     "in \"%1\"")
                          .arg(tempDir_));
    }

    SheetBuilder builder(started.workbook.get(), started.sheet, decimalSeparator_.toStdString());
    CrLfLineReader lines(file);
    char* begin = nullptr;
    std::size_t size = 0;
    bool first = true;
    while (lines.Next(begin, size)) {
        if (first && std::string_view(begin, size).starts_with("\xEF\xBB\xBF")) {
            begin += 3;
            size -= 3;
        }
        first = false;
        builder.AddLine(begin, size);
    }
    builder.Finish();
    return std::make_unique<XlsxImportedWorkbook>(std::move(started.workbook), stagingPath,
                                                  std::move(tempDir), builder.Rows());
}

}  // namespace quillorn
