// How one cell text of a result file lands in the workbook: as a number when it reads back digit
// for digit, as a date in the second-date column, otherwise as the text it is.
#pragma once

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

}  // namespace quillorn
