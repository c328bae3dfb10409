// Feeds arbitrary cell texts to the workbook's cell typing. Whatever becomes a number must read
// back digit for digit, and whatever becomes a date must be a real day: no cell may lose a digit on
// its way into the workbook. The first byte picks the decimal separator and whether the cell is in
// the date column.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "output/XlsxCellValue.h"

namespace {

bool RealDay(int year, int month, int day) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// The text as a spreadsheet shows the number: its lead space dropped, the separator a point.
std::string Normalised(std::string_view text, char separator) {
    if (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::string normal(text);
    for (char& c : normal)
        c = c == separator ? '.' : c;
    return normal;
}

// A spreadsheet keeps 15 significant digits and shows a number without leading zeros before the
// point or trailing zeros after it; a text that is a number must need nothing more than that.
bool ReadsBackExactly(const std::string& text, double number) {
    char* end = nullptr;
    if (text.empty() || std::strtod(text.c_str(), &end) != number || *end != '\0')
        return false;
    std::string_view digits(text);
    if (digits.front() == '-')
        digits.remove_prefix(1);
    const std::size_t point = digits.find('.');
    if (digits.size() > 1 && digits.front() == '0' && point != 1)
        return false;  // "007"
    if (point != std::string_view::npos && (digits.back() == '0' || point + 1 == digits.size()))
        return false;  // "4.50", "4."
    int significant = 0;
    bool leading = true;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            continue;
        leading = leading && c == '0';
        significant += leading ? 0 : 1;
    }
    return significant <= 15;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const char separator = (data[0] & 1) ? ',' : '.';
    const bool dateColumn = (data[0] & 2) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const quillorn::XlsxCellValue value =
        quillorn::ClassifyCell(text, std::string_view(&separator, 1), dateColumn);
    using Kind = quillorn::XlsxCellValue::Kind;
    if (value.kind == Kind::Number && !ReadsBackExactly(Normalised(text, separator), value.number))
        std::abort();
    if (value.kind == Kind::Date && (!dateColumn || !RealDay(value.year, value.month, value.day)))
        std::abort();
    if (value.kind == Kind::Empty && !text.empty())
        std::abort();
    return 0;
}
