// Queries on a parsed tree: paths, member order, element lists, enumeration, ownership and the
// compact JSON text form.
#include <gtest/gtest.h>

#include <QStringList>

#include "json/JsonNumberText.h"
#include "json/JsonValue.h"

namespace quillorn {
namespace {

using namespace Qt::StringLiterals;

class JsonTreeTest : public ::testing::Test {
protected:
    static JsonValuePtr Parse(const QString& text) {
        JsonValuePtr node = ParseJson(text);
        EXPECT_TRUE(node) << text.toStdString();
        return node;
    }
};

TEST_F(JsonTreeTest, LooksUpDottedPathsThroughObjectsOnly) {
    const JsonValuePtr root =
        Parse(uR"({"data":{"entity":{"profile":{"id":"70000001"}}},"s":"text","n":null})"_s);
    EXPECT_EQ(root->LookupString(u"data.entity.profile.id"), "70000001");
    EXPECT_EQ(root->Lookup(u"data.entity.profile")->Kind(), JsonKind::Object);
    EXPECT_FALSE(root->Lookup(u"s.x"));           // a is a string
    EXPECT_FALSE(root->Lookup(u"data.missing"));  // a is an object without b
    EXPECT_FALSE(root->Lookup(u"missing"));
    EXPECT_EQ(root->LookupString(u"data.missing"), QString());
    EXPECT_FALSE(Parse(u"[1]"_s)->Lookup(u"a"));
    EXPECT_FALSE(Parse(u"\"x\""_s)->Lookup(u"a"));
}

TEST_F(JsonTreeTest, ANullMemberIsPresentAndHasTheTextNull) {
    const JsonValuePtr root = Parse(uR"({"n":null,"e":""})"_s);
    const JsonValuePtr null = root->Lookup(u"n");
    ASSERT_TRUE(null);
    EXPECT_EQ(null->Kind(), JsonKind::Null);
    EXPECT_EQ(null->AsString(), "null");
    EXPECT_EQ(root->LookupString(u"n"), "null");
    EXPECT_EQ(root->LookupString(u"n.x"), QString());
    EXPECT_EQ(root->LookupString(u"e"), QString());
}

TEST_F(JsonTreeTest, MemberNamesAreExactAndNotPaths) {
    const JsonValuePtr root = Parse(uR"({"a.b":1,"a":{"b":2},"A":3})"_s);
    const JsonObjectPtr table = root->AsObject();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Member(u"a.b")->AsString(), "1");
    EXPECT_EQ(root->LookupString(u"a.b"), "2");
    EXPECT_EQ(table->Member(u"A")->AsString(), "3");
    EXPECT_FALSE(table->Member(u"B"));
    EXPECT_FALSE(Parse(u"[]"_s)->AsObject());
    EXPECT_FALSE(Parse(u"{}"_s)->AsArray());
}

TEST_F(JsonTreeTest, OrdersMembersByNameHashHighestFirst) {
    EXPECT_EQ(JsonObject::NameHash(u""), 0u);
    EXPECT_EQ(JsonObject::NameHash(u"a"), 97u + 0x9E370001u);
    EXPECT_EQ(JsonObject::NameHash(u"ab"), (97u + 0x9E370001u) * 129u + 98u + 0x9E370001u);

    const JsonValuePtr root = Parse(uR"({"a":1,"b":2})"_s);
    const JsonItems values = root->Items();
    ASSERT_EQ(values.Count(), 2);
    EXPECT_EQ(values.At(0)->AsString(), "2");
    EXPECT_EQ(values.At(1)->AsString(), "1");
    EXPECT_FALSE(values.At(2));

    // Many members: the order holds in every position and every name is still found.
    QString text = u"{"_s;
    for (int i = 0; i < 300; ++i)
        text += u"\"k%1\":%1,"_s.arg(i);
    const JsonObjectPtr table = Parse(text + u"}"_s)->AsObject();
    ASSERT_EQ(table->Count(), 300);
    for (int i = 1; i < table->Count(); ++i) {
        const auto before = JsonObject::NameHash(table->NameAt(i - 1));
        const auto after = JsonObject::NameHash(table->NameAt(i));
        EXPECT_TRUE(before > after || (before == after && table->NameAt(i - 1) < table->NameAt(i)));
    }
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(table->Member(u"k%1"_s.arg(i))->AsInteger(), i);
}

TEST_F(JsonTreeTest, EqualHashesAreOrderedByName) {
    // "\u0000\u0081" and "\u0001\u0000" hash alike: c0 * 129 + c1 is 129 for both.
    const QString low = QString(QChar(0)) + QChar(0x81);
    const QString high = QString(QChar(1)) + QChar(0);
    ASSERT_EQ(JsonObject::NameHash(low), JsonObject::NameHash(high));
    const JsonValuePtr root = Parse(u"{'\\u0001\\u0000':2,'\\u0000\\u0081':1}"_s);
    const JsonObjectPtr table = root->AsObject();
    ASSERT_EQ(table->Count(), 2);
    EXPECT_EQ(table->NameAt(0), low);
    EXPECT_EQ(table->NameAt(1), high);
    EXPECT_EQ(table->Member(high)->AsString(), "2");
}

TEST_F(JsonTreeTest, ElementListsGiveNothingAtOrBeyondTheirLength) {
    const JsonValuePtr root = Parse(uR"({"reviews":[{"id":"1"},{"id":"2"}],"x":5})"_s);
    const JsonArrayPtr reviews = root->LookupArray(u"reviews");
    ASSERT_TRUE(reviews);
    ASSERT_EQ(reviews->Length(), 2);
    EXPECT_EQ(reviews->ItemAt(1)->LookupString(u"id"), "2");
    EXPECT_FALSE(reviews->ItemAt(reviews->Length()));
    EXPECT_FALSE(reviews->ItemAt(-1));
    EXPECT_FALSE(root->LookupArray(u"x"));
    EXPECT_FALSE(root->LookupArray(u"missing"));
}

TEST_F(JsonTreeTest, IteratesArraysInOrderAndScalarsNotAtAll) {
    QStringList seen;
    for (const JsonValuePtr& item : Parse(u"[3,1,2]"_s)->Items())
        seen << item->AsString();
    EXPECT_EQ(seen, QStringList({"3", "1", "2"}));

    const JsonItems scalar = Parse(u"42"_s)->Items();
    EXPECT_EQ(scalar.Count(), 0);
    EXPECT_EQ(scalar.begin(), scalar.end());
    EXPECT_FALSE(scalar.At(0));
    EXPECT_EQ(Parse(u"[]"_s)->Items().Count(), 0);
}

TEST_F(JsonTreeTest, AnyHeldNodeKeepsItsTreeAlive) {
    JsonValuePtr leaf;
    JsonArrayPtr list;
    JsonItems members;
    {
        QString text = uR"({"a":{"b":[1,"\u0442\u0435\u043a\u0441\u0442",{"c":"plain"}]}})"_s;
        JsonValuePtr root = ParseJson(text);
        leaf = root->Lookup(u"a.b")->AsArray()->ItemAt(2);
        list = root->LookupArray(u"a.b");
        members = root->Lookup(u"a")->Items();
        text.fill(u'x');  // the caller's text changes; the tree keeps what it read
    }
    EXPECT_EQ(leaf->LookupString(u"c"), "plain");
    EXPECT_EQ(list->ItemAt(1)->AsString(), u"\u0442\u0435\u043a\u0441\u0442"_s);
    ASSERT_EQ(members.Count(), 1);
    EXPECT_EQ((*members.begin())->AsString(), uR"([1,"текст",{"c":"plain"}])"_s);
}

TEST_F(JsonTreeTest, TextOfRawDataIsCopiedBeforeTheTreeReferencesIt) {
    JsonValuePtr root;
    {
        QString storage = uR"({"name":"kept"})"_s;
        root = ParseJson(QString::fromRawData(storage.constData(), storage.size()));
        storage.fill(u'x');
    }
    EXPECT_EQ(root->LookupString(u"name"), "kept");
}

TEST_F(JsonTreeTest, WritesCompactJsonWithMinimalEscaping) {
    const JsonValuePtr root = Parse(
        u"{ \"s\" : \"q\\\"b\\\\s\\/n\\u0000t\\te\u00e9\", \"l\" : [ 1 , 2.50 , true , null ,"
        u" { } , [ ] ], 'a/\"' : 1e5 }"_s);
    const QString expected =
        u"{\"s\":\"q\\\"b\\\\s\\/n\\u0000t\te\u00e9\",\"l\":[1,2.5,true,null,{},[]],"
        u"\"a\\/\\\"\":100000.}"_s;
    // Member order decides where "a/\"" stands; compare the members one by one.
    EXPECT_EQ(root->Lookup(u"s")->AsString(), u"q\"b\\s/n"_s + QChar(0) + u"t\te\u00e9"_s);
    EXPECT_EQ(root->AsString().size(), expected.size());
    for (const QString& part : {u"\"s\":\"q\\\"b\\\\s\\/n\\u0000t\te\u00e9\""_s,
                                u"\"l\":[1,2.5,true,null,{},[]]"_s, u"\"a\\/\\\"\":100000."_s})
        EXPECT_TRUE(root->AsString().contains(part)) << part.toStdString();
}

TEST_F(JsonTreeTest, FixedPointTextKeepsThePointAndDropsTrailingZeros) {
    EXPECT_EQ(CurrencyText(0), "0");
    EXPECT_EQ(CurrencyText(47000), "4.7");
    EXPECT_EQ(CurrencyText(50000), "5.");
    EXPECT_EQ(CurrencyText(500), "0.05");
    EXPECT_EQ(CurrencyText(1), "0.0001");
    EXPECT_EQ(CurrencyText(-12345), "-1.2345");
    EXPECT_EQ(CurrencyText(-10000), "-1.");
    EXPECT_EQ(CurrencyText(INT64_MIN), "-922337203685477.5808");
}

TEST_F(JsonTreeTest, FloatingTextHasFifteenDigitsAndAThreeDigitExponent) {
    EXPECT_EQ(DoubleText(0.0), "0.");
    EXPECT_EQ(DoubleText(-0.0), "0.");
    EXPECT_EQ(DoubleText(4.666667), "4.666667");
    EXPECT_EQ(DoubleText(1e5), "100000.");
    EXPECT_EQ(DoubleText(0.00001), "1.e-005");
    EXPECT_EQ(DoubleText(0.05), "5.e-002");
    EXPECT_EQ(DoubleText(0.5), "0.5");
    EXPECT_EQ(DoubleText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(DoubleText(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(DoubleText(-123.456), "-123.456");
    EXPECT_EQ(DoubleText(123456789012345.0), "123456789012345");  // exponent 14: no point
    EXPECT_EQ(DoubleText(1e15), "1.e+015");
    EXPECT_EQ(DoubleText(999999999999999.9), "1.e+015");  // rounding moves the exponent
    EXPECT_EQ(DoubleText(1.7976931348623157e308), "1.79769313486232e+308");
    EXPECT_EQ(DoubleText(5e-324), "4.94065645841247e-324");
}

}  // namespace
}  // namespace quillorn
