// The parser's rules: what each kind of text becomes, the leniencies, and what fails.
#include <gtest/gtest.h>

#include <cstdint>

#include "json/JsonValue.h"

namespace quillorn {
namespace {

using namespace Qt::StringLiterals;

class JsonParserTest : public ::testing::Test {
protected:
    static JsonValuePtr Parse(const QString& text) { return ParseJson(text); }

    // The compact JSON of the parse, or "nothing".
    static QString Json(const QString& text) {
        const JsonValuePtr node = ParseJson(text);
        return node ? node->AsString() : QStringLiteral("nothing");
    }

    static QString Nested(int depth, const QString& inner) {
        return QString(depth, u'[') + inner + QString(depth, u']');
    }
};

TEST_F(JsonParserTest, EmptyTextAndBlanksOnlyGiveAnEmptyString) {
    for (const QString& text : {QString(), QStringLiteral(" \t\r\n\b\f"),
                                QStringLiteral("/* note */ // line\n"), QStringLiteral("(")}) {
        const JsonValuePtr node = Parse(text);
        ASSERT_TRUE(node) << text.toStdString();
        EXPECT_EQ(node->Kind(), JsonKind::String);
        EXPECT_EQ(node->AsString(), QString());
        EXPECT_FALSE(node->Lookup(u"a"));
    }
}

TEST_F(JsonParserTest, TextEndsAtTheFirstNul) {
    EXPECT_EQ(Json(QStringLiteral("[1,2]") + QChar(0) + QStringLiteral("garbage")), "[1,2]");
    EXPECT_EQ(Json(QStringLiteral("[1,") + QChar(0) + QStringLiteral("2]")), "nothing");
}

TEST_F(JsonParserTest, IgnoresWhatFollowsTheFirstValue) {
    EXPECT_EQ(Json(u"{\"a\":1} trailing } ] garbage \"x"_s), "{\"a\":1}");
    EXPECT_EQ(Json(u"[1]/"_s), "[1]");
    EXPECT_EQ(Json(u"true1"_s), "true");
}

TEST_F(JsonParserTest, SkipsCommentsWhereBlanksMayStand) {
    EXPECT_EQ(Json(u"/*a*/[ /* b */ 1 // c\n , 2 /**/ ]"_s), "[1,2]");
    EXPECT_EQ(Json(u"[1 /***/ ]"_s), "nothing");  // the third asterisk disarms the second
    // After an armed asterisk any other code unit disarms it, another asterisk included: "**/"
    // does not close, the later "*/" does.
    EXPECT_EQ(Json(u"[1, /* x **/ 2, */ 3]"_s), "[1,3]");
    EXPECT_EQ(Json(u"[1 /x, 2]"_s), "nothing");
}

TEST_F(JsonParserTest, ResolvesEveryStringEscape) {
    const JsonValuePtr node = Parse(uR"("\b\f\n\r\t\u0041\u00e9\x41\xFf\'\"\\\/\q")"_s);
    ASSERT_TRUE(node);
    const QString expected = QString(QChar(8)) + QChar(12) + QChar(10) + QChar(13) + QChar(9) +
                             u"A\u00e9A\u00ff'\"\\/q"_s;
    EXPECT_EQ(node->AsString(), expected);
}

TEST_F(JsonParserTest, KeepsSurrogatesAsSeparateCodeUnits) {
    const JsonValuePtr pair = Parse(uR"("\ud83d\ude00")"_s);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->AsString(), QString::fromUtf8("\xF0\x9F\x98\x80"));
    const JsonValuePtr lone = Parse(uR"("a\ud800b")"_s);
    ASSERT_TRUE(lone);
    EXPECT_EQ(lone->AsString().size(), 3);
    EXPECT_EQ(lone->AsString()[1].unicode(), 0xd800);
}

TEST_F(JsonParserTest, FailsOnAMissingHexDigit) {
    EXPECT_EQ(Json(uR"(["ok", "\u00g1"])"_s), "nothing");
    EXPECT_EQ(Json(uR"("\x4")"_s), "nothing");
    EXPECT_EQ(Json(uR"("\u12)"_s), "nothing");
}

TEST_F(JsonParserTest, TakesApostropheStringsAndRawControlCharacters) {
    EXPECT_EQ(Parse(u"'say \"hi\"'"_s)->AsString(), "say \"hi\"");
    EXPECT_EQ(Parse(u"\"it's\""_s)->AsString(), "it's");
    EXPECT_EQ(Parse(u"\"a\tb\nc\""_s)->AsString(), "a\tb\nc");
}

TEST_F(JsonParserTest, NumbersTakeTheirKindFromPointAndExponent) {
    const struct {
        const char16_t* text;
        JsonKind kind;
        const char* form;
    } rows[] = {
        {u"12", JsonKind::Int, "12"},
        {u"-3", JsonKind::Int, "-3"},
        {u"007", JsonKind::Int, "7"},
        {u"4.70", JsonKind::Currency, "4.7"},
        {u"5.0", JsonKind::Currency, "5."},
        {u"0.05", JsonKind::Currency, "0.05"},
        {u"0.0", JsonKind::Currency, "0"},
        {u"-1.2345", JsonKind::Currency, "-1.2345"},
        {u"4.666667", JsonKind::Double, "4.666667"},
        {u"5.00000", JsonKind::Double, "5."},
        {u"1e5", JsonKind::Double, "100000."},
        {u"0.00001", JsonKind::Double, "1.e-005"},
        {u"2E3", JsonKind::Double, "2000."},
        {u"-2.5e-3", JsonKind::Double, "-2.5e-003"},
    };
    for (const auto& row : rows) {
        const JsonValuePtr node = Parse(QString::fromUtf16(row.text));
        ASSERT_TRUE(node) << QString::fromUtf16(row.text).toStdString();
        EXPECT_EQ(node->Kind(), row.kind) << QString::fromUtf16(row.text).toStdString();
        EXPECT_EQ(node->AsString(), row.form) << QString::fromUtf16(row.text).toStdString();
    }
    EXPECT_EQ(Parse(u"4.70"_s)->AsCurrency(), 47000);
    EXPECT_EQ(Parse(u"-9223372036854775808"_s)->AsInteger(), INT64_MIN);
}

TEST_F(JsonParserTest, NumbersBeyondSixtyFourBitsBecomeTheNearestDouble) {
    const JsonValuePtr big = Parse(u"9223372036854775808"_s);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->Kind(), JsonKind::Double);
    EXPECT_EQ(big->AsString(), "9.22337203685478e+018");
    const JsonValuePtr fixed = Parse(u"922337203685477.5808"_s);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->Kind(), JsonKind::Double);
    EXPECT_EQ(Parse(u"1e999"_s)->AsString(), "inf");
    EXPECT_EQ(Parse(u"-1e999"_s)->AsString(), "-inf");
    EXPECT_EQ(Parse(u"1e-999"_s)->AsString(), "0.");
}

TEST_F(JsonParserTest, MalformedNumbersStillEndAtTheirLastNumberCharacter) {
    EXPECT_EQ(Json(u"[1-2,3]"_s), "[1,3]");
    EXPECT_EQ(Json(u"[-,1.2.3]"_s), "[0,1.2]");
    EXPECT_EQ(Json(u"[2026-12-09]"_s), "[2026]");
    EXPECT_EQ(Json(u"[12abc]"_s), "nothing");
}

TEST_F(JsonParserTest, LiteralsOnlyInLowerCaseAndNotFollowedByAWordCharacter) {
    EXPECT_EQ(Parse(u"true"_s)->Kind(), JsonKind::Boolean);
    EXPECT_TRUE(Parse(u"true"_s)->AsBoolean());
    EXPECT_EQ(Parse(u"false"_s)->AsString(), "false");
    EXPECT_EQ(Parse(u"null"_s)->Kind(), JsonKind::Null);
    EXPECT_EQ(Json(u"[true,null ,false]"_s), "[true,null,false]");
    for (const char16_t* word : {u"True", u"NULL", u"truex", u"null_", u"false.x", u"nul"}) {
        const JsonValuePtr node = Parse(QString::fromUtf16(word));
        ASSERT_TRUE(node);
        EXPECT_EQ(node->Kind(), JsonKind::String);
        EXPECT_EQ(node->AsString(), QString::fromUtf16(word));
    }
}

TEST_F(JsonParserTest, BareWordsRunToTheirContainersSeparator) {
    EXPECT_EQ(Parse(u"hello world } ] , \r\n "_s)->AsString(), "hello world } ] ,");
    EXPECT_EQ(Json(u"[abc def , x\\,y, 'q' ]"_s), "[\"abc def\",\"x,y\",\"q\"]");
    EXPECT_EQ(Json(u"{a: some text\t, b:}"_s), "{\"b\":\"\",\"a\":\"some text\t\"}");
    EXPECT_EQ(Json(u"[abc"_s), "nothing");
}

TEST_F(JsonParserTest, ArraysAcceptTrailingCommasAndEmptyPlaces) {
    EXPECT_EQ(Json(u"[]"_s), "[]");
    EXPECT_EQ(Json(u"[ ]"_s), "[]");
    EXPECT_EQ(Json(u"[1,2,]"_s), "[1,2]");
    EXPECT_EQ(Json(u"[1,,2]"_s), "[1,\"\",2]");
    EXPECT_EQ(Json(u"[,1]"_s), "[\"\",1]");
    EXPECT_EQ(Json(u"[1 2]"_s), "nothing");
    EXPECT_EQ(Json(u"[1,2"_s), "nothing");
    EXPECT_EQ(Json(u"[1,"_s), "nothing");
}

TEST_F(JsonParserTest, ObjectsAcceptATrailingCommaButNotTwoInARow) {
    EXPECT_EQ(Json(u"{}"_s), "{}");
    EXPECT_EQ(Json(u"{\"a\":1,}"_s), "{\"a\":1}");
    EXPECT_EQ(Json(u"{\"a\":1,,}"_s), "nothing");
    EXPECT_EQ(Json(u"{,}"_s), "nothing");
    EXPECT_EQ(Json(u"{\"a\" 1}"_s), "nothing");
    EXPECT_EQ(Json(u"{\"a\":1 \"b\":2}"_s), "nothing");
    EXPECT_EQ(Json(u"{\"a\":1"_s), "nothing");
    EXPECT_EQ(Json(u"{\"a"_s), "nothing");
}

TEST_F(JsonParserTest, UnquotedNamesRunToTheColonBlanksIncluded) {
    const JsonValuePtr node = Parse(u"{key:1, other name :2, 'q':3, \"d\" : 4, es\\:c:5}"_s);
    ASSERT_TRUE(node);
    const JsonObjectPtr table = node->AsObject();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Count(), 5);
    EXPECT_EQ(table->Member(u"key")->AsString(), "1");
    EXPECT_EQ(table->Member(u"other name ")->AsString(), "2");
    EXPECT_FALSE(table->Member(u"other name"));
    EXPECT_EQ(table->Member(u"q")->AsString(), "3");
    EXPECT_EQ(table->Member(u"d")->AsString(), "4");
    EXPECT_EQ(table->Member(u"es:c")->AsString(), "5");
    for (const char16_t* text : {u"{.a:1}", u"{:1}", u"{[a]:1}", u"{(a:1}", u"{a 1}"})
        EXPECT_EQ(Json(QString::fromUtf16(text)), "nothing")
            << QString::fromUtf16(text).toStdString();
}

TEST_F(JsonParserTest, ALaterDuplicateNameReplacesTheEarlier) {
    const JsonValuePtr node = Parse(u"{\"a\":1,\"b\":2,\"a\":3,\"a\":{\"x\":4}}"_s);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->AsObject()->Count(), 2);
    EXPECT_EQ(node->LookupString(u"a.x"), "4");
    EXPECT_EQ(node->AsString(), "{\"b\":2,\"a\":{\"x\":4}}");
}

TEST_F(JsonParserTest, SkipsAnOpeningParenthesisBeforeAValue) {
    EXPECT_EQ(Json(u"({\"a\":[( 1)]});"_s), "nothing");  // ")" after an element is no separator
    EXPECT_EQ(Json(u"({\"a\":[(1,( 2]})"_s), "{\"a\":[1,2]}");
}

TEST_F(JsonParserTest, AllowsThirtyOneEnclosingContainers) {
    EXPECT_EQ(Json(Nested(31, u"1"_s)), Nested(31, u"1"_s));
    EXPECT_EQ(Json(Nested(32, u"1"_s)), "nothing");
    EXPECT_EQ(Json(Nested(32, QString())), Nested(32, QString()));  // the innermost is empty
    QString objects;
    for (int i = 0; i < 32; ++i)
        objects += u"{a:"_s;
    EXPECT_EQ(Json(objects + u"1"_s + QString(32, u'}')), "nothing");
    EXPECT_EQ(Json(Nested(100000, QString())), "nothing");
}

TEST_F(JsonParserTest, UnterminatedInputYieldsNothing) {
    for (const char16_t* text : {u"\"abc", u"'abc\"", u"[\"a\",", u"{\"a\":", u"{\"a\":\"b",
                                 u"[1, /* open", u"\"\\", u"{a"}) {
        EXPECT_EQ(Json(QString::fromUtf16(text)), "nothing")
            << QString::fromUtf16(text).toStdString();
    }
}

}  // namespace
}  // namespace quillorn
