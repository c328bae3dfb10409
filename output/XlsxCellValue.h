// How one cell text of a result file lands in the workbook: as a number when it reads back digit
// for digit, as a date in the second-date column, otherwise as text that shows the line breaks and
// tabs the result file had to escape, and in a link column as a link when it is a web address.
#pragma once

#include <string>
#include <string_view>

namespace quillorn {

struct XlsxCellValue {
    enum class Kind { Empty, Text, Number, Date };

    Kind kind = Kind::Empty;
    double number = 0;  // Kind::Number
    int year = 0;       // Kind::Date
    int month = 0;
    int day = 0;
};

// Classifies cell text (UTF-8, enclosing quotes already removed). One leading space, which the
// result table puts before ratings, is ignored when deciding on a number; a text cell keeps it.
//
// A number is an integer of at most 15 digits, or a decimal with '.' or decimalSeparator whose
// digits a spreadsheet keeps exactly: at most 15 significant digits, no superfluous leading or
// trailing zero and no "-0". Anything else (ids of 16 digits and more, "007", "4.50") stays text,
// so no digit is ever lost. In the date column, "dd.mm.yyyy" naming a real day from 1900 on is a
// date.
XlsxCellValue ClassifyCell(std::string_view text, std::string_view decimalSeparator,
                           bool dateColumn);

// The text a reader sees: the result file writes tab, line feed and carriage return inside a cell
// as "&#9;", "&#10;" and "&#13;"; here "&#9;" becomes a tab, and "&#13;&#10;", "&#10;" and a lone
// "&#13;" each become one line feed, the line break of a sheet cell. No other sequence is touched
// ("&amp;", "&#11;", "&#x0A;" stay as they are). Since the result file never escapes an ampersand,
// a text that held "&#10;" literally shows a line break too. Writes the text into shown and returns
// true when it held such an escape; returns false and leaves shown alone otherwise.
bool ResolveCellEscapes(std::string_view text, std::string& shown);

// True when text (valid UTF-8) may become a link in the sheet: an http:// or https:// address
// with a host, without blanks or control characters, short enough for a spreadsheet's links
// (2,079 characters once the writer has percent-encoded it) and without "internal:" or
// "external:", which the writing library would take for a link into a workbook or to a local
// file. The cells come from a remote server: no other scheme (file:, javascript:) is ever a link.
bool IsWebLink(std::string_view text);

}  // namespace quillorn
