#include "output/XlsxCellValue.h"

#include <gtest/gtest.h>

namespace quillorn {
namespace {

using Kind = XlsxCellValue::Kind;

class SpreadsheetCellValueTest : public ::testing::Test {
protected:
    static XlsxCellValue Plain(std::string_view text) { return ClassifyCell(text, ",", false); }
    static XlsxCellValue InDateColumn(std::string_view text) {
        return ClassifyCell(text, ",", true);
    }
};

TEST_F(SpreadsheetCellValueTest, IntegersUpToFifteenDigitsAreNumbers) {
    EXPECT_EQ(Plain("0").kind, Kind::Number);
    EXPECT_EQ(Plain("42").number, 42);
    EXPECT_EQ(Plain("-17").number, -17);
    XlsxCellValue fifteen = Plain("999999999999999");
    ASSERT_EQ(fifteen.kind, Kind::Number);
    EXPECT_EQ(fifteen.number, 999999999999999.0);
}

TEST_F(SpreadsheetCellValueTest, LongDigitStringsAndPaddedNumbersStayText) {
    EXPECT_EQ(Plain("1000000000000000").kind, Kind::Text);   // 16 digits
    EXPECT_EQ(Plain("70000001012345678").kind, Kind::Text);  // a branch id
    EXPECT_EQ(Plain("007").kind, Kind::Text);
    EXPECT_EQ(Plain("-0").kind, Kind::Text);
    EXPECT_EQ(Plain("+5").kind, Kind::Text);
    EXPECT_EQ(Plain("4.50").kind, Kind::Text);
    EXPECT_EQ(Plain("1e5").kind, Kind::Text);
    EXPECT_EQ(Plain("1 000").kind, Kind::Text);
    EXPECT_EQ(Plain(".5").kind, Kind::Text);
    EXPECT_EQ(Plain("5.").kind, Kind::Text);
    EXPECT_EQ(Plain("0.1234567890123456").kind, Kind::Text);  // 16 significant digits
}

TEST_F(SpreadsheetCellValueTest, DecimalsTakePointOrTheUsersSeparator) {
    EXPECT_EQ(Plain("4.7").number, 4.7);
    EXPECT_EQ(Plain("4,7").number, 4.7);
    EXPECT_EQ(Plain("-0.05").number, -0.05);
    EXPECT_EQ(Plain("0.000000000000001").kind, Kind::Number);
    EXPECT_EQ(ClassifyCell("4,7", ".", false).kind, Kind::Text);  // ',' is no separator there
    EXPECT_EQ(ClassifyCell("4\xD9\xAB"
                           "7",
                           "\xD9\xAB", false)
                  .number,
              4.7);  // a two-byte one
    EXPECT_EQ(Plain("1,2,3").kind, Kind::Text);
}

TEST_F(SpreadsheetCellValueTest, OneLeadSpaceBeforeANumberIsIgnored) {
    EXPECT_EQ(Plain(" 5").number, 5);
    EXPECT_EQ(Plain(" 4,7").number, 4.7);
    EXPECT_EQ(Plain("  5").kind, Kind::Text);
    EXPECT_EQ(Plain(" ").kind, Kind::Text);
    EXPECT_EQ(Plain("").kind, Kind::Empty);
}

TEST_F(SpreadsheetCellValueTest, RealDaysInTheDateColumnAreDates) {
    XlsxCellValue date = InDateColumn("17.05.2023");
    ASSERT_EQ(date.kind, Kind::Date);
    EXPECT_EQ(date.day, 17);
    EXPECT_EQ(date.month, 5);
    EXPECT_EQ(date.year, 2023);
    EXPECT_EQ(InDateColumn("29.02.2024").kind, Kind::Date);
    EXPECT_EQ(Plain("17.05.2023").kind, Kind::Text);  // only the date column holds dates
}

TEST_F(SpreadsheetCellValueTest, ImpossibleOrIncompleteDatesStayText) {
    EXPECT_EQ(InDateColumn("..").kind, Kind::Text);  // an empty creation date
    EXPECT_EQ(InDateColumn("29.02.2023").kind, Kind::Text);
    EXPECT_EQ(InDateColumn("17.13.2023").kind, Kind::Text);
    EXPECT_EQ(InDateColumn("17.05.1899").kind, Kind::Text);  // before the sheet's calendar
    EXPECT_EQ(InDateColumn("7.05.2023").kind, Kind::Text);
    EXPECT_EQ(InDateColumn("17.05.").kind, Kind::Text);
    EXPECT_EQ(InDateColumn("2023").kind, Kind::Number);  // a number is still a number there
}

}  // namespace
}  // namespace quillorn
