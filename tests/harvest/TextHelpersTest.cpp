// Cutting values out of pages between markers, and the replacements that clean values.
#include <gtest/gtest.h>

#include "harvest/TextHelpers.h"

namespace quillorn {
namespace {

using namespace Qt::StringLiterals;

class TextHelpersTest : public ::testing::Test {};

TEST_F(TextHelpersTest, ExtractsTheValueBetweenTheFirstStartMarkerAndTheNearestEndMarker) {
    EXPECT_EQ(ExtractBetween(u"a=1;b=2;"_s, u"b="_s, u";"_s).toStdString(), "2");
    EXPECT_EQ(ExtractBetween(u"a=1;b=2;"_s, u"c="_s, u";"_s).toStdString(), "");
    EXPECT_EQ(ExtractBetween(u"a=1;b=2;"_s, u"b="_s, u"#"_s).toStdString(), "");
    EXPECT_EQ(ExtractBetween(u"k:1 k:2"_s, u"k:"_s, u" "_s).toStdString(), "1");
    EXPECT_EQ(
        ExtractBetween(u"x=<tag>v</tag><tag>w</tag>"_s, u"<tag>"_s, u"</tag>"_s).toStdString(),
        "v");
}

TEST_F(TextHelpersTest, AnEndMarkerRightAfterTheStartGivesEmptyEvenWhenALaterOneHasAValue) {
    EXPECT_EQ(ExtractBetween(u"k=;k=5;"_s, u"k="_s, u";"_s).toStdString(), "");
}

TEST_F(TextHelpersTest, TheEndMarkerIsSoughtOnlyAfterTheWholeStartMarker) {
    // "ab" overlaps the end of the start marker "xab"; the search starts behind it.
    EXPECT_EQ(ExtractBetween(u"xab1ab"_s, u"xab"_s, u"ab"_s).toStdString(), "1");
    EXPECT_EQ(ExtractBetween(u"\"key\":\"\""_s, u"\"key\":\""_s, u"\""_s).toStdString(), "");
}

TEST_F(TextHelpersTest, EmptyMarkersMeanTheBeginningAndTheEnd) {
    EXPECT_EQ(ExtractBetween(u"ab#cd"_s, QString(), u"#"_s).toStdString(), "ab");
    EXPECT_EQ(ExtractBetween(u"ab=cd"_s, u"="_s, QString()).toStdString(), "cd");
    EXPECT_EQ(ExtractBetween(u"abc"_s, QString(), QString()).toStdString(), "abc");
}

TEST_F(TextHelpersTest, MarkersAreCaseSensitive) {
    EXPECT_EQ(ExtractBetween(u"Key=1;key=2;"_s, u"key="_s, u";"_s).toStdString(), "2");
}

TEST_F(TextHelpersTest, ReplacesWithoutOverlapAndWithoutRescanning) {
    EXPECT_EQ(ReplaceAll(u"\\\\\\"_s, u"\\\\"_s, u"\\"_s), u"\\\\"_s);    // three -> two
    EXPECT_EQ(ReplaceAll(u"\\\\\\\\"_s, u"\\\\"_s, u"\\"_s), u"\\\\"_s);  // four -> two
    EXPECT_EQ(ReplaceAll(u"aaa"_s, u"a"_s, u"aa"_s).toStdString(), "aaaaaa");
    EXPECT_EQ(ReplaceAll(u"4.5"_s, u"."_s, u","_s).toStdString(), "4,5");
    EXPECT_EQ(ReplaceAll(u"data1.tab"_s, u".tab"_s, u".xlsx"_s).toStdString(), "data1.xlsx");
    EXPECT_EQ(ReplaceAll(u"a\tb\t"_s, u"\t"_s, u" "_s).toStdString(), "a b ");
    EXPECT_EQ(ReplaceAll(u"abc"_s, u"x"_s, u"y"_s).toStdString(), "abc");
}

TEST_F(TextHelpersTest, AnEmptyPatternReplacesNothing) {
    EXPECT_EQ(ReplaceAll(u"abc"_s, QString(), u"x"_s).toStdString(), "abc");
    EXPECT_EQ(ReplaceAll(QString(), u"a"_s, u"x"_s).toStdString(), "");
}

TEST_F(TextHelpersTest, TurnsDoubleQuotesIntoApostrophes) {
    EXPECT_EQ(QuotesToApostrophes(u"say \"hi\", \u00abok\u00bb"_s), u"say 'hi', \u00abok\u00bb"_s);
    EXPECT_EQ(QuotesToApostrophes(u"plain"_s).toStdString(), "plain");
    EXPECT_EQ(QuotesToApostrophes(QString()).toStdString(), "");
}

}  // namespace
}  // namespace quillorn
