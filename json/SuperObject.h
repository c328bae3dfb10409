// The JSON document model: a read-only tree of nodes built once by ParseString and then only
// queried by dotted paths, member tables, element lists and text forms.
//
// Ownership: every node, member table and element list of one tree lives in one block of memory
// owned by the tree. The handles ISuperObject, TSuperArrayPtr and TSuperTablePtr are shared
// pointers into that block that share one reference count, so holding any node, table or list (or
// an enumerator) keeps the whole tree alive, and dropping the last handle frees it at once. An
// empty handle is "nothing". Nodes are reached only through handles; they are never copied out.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>

namespace quillorn {

namespace json_detail {
class JsonDocument;
class JsonParser;
}  // namespace json_detail

// The kind of a node and with it the payload the node carries.
enum TSuperType : std::uint8_t {
    stNull,      // the literal null
    stBoolean,   // true or false
    stDouble,    // 64-bit floating value
    stCurrency,  // signed 64-bit integer holding the value times 10 000 (four implied decimals)
    stInt,       // signed 64-bit integer
    stObject,    // member table
    stArray,     // element list
    stString,    // UTF-16 text, any code unit allowed
};

class TSuperObject;
class TSuperArray;
class TSuperTableString;
class TSuperEnumerator;

using ISuperObject = std::shared_ptr<const TSuperObject>;
using TSuperArrayPtr = std::shared_ptr<const TSuperArray>;
using TSuperTablePtr = std::shared_ptr<const TSuperTableString>;

// One node of a tree. Every query is const and never throws.
class TSuperObject {
public:
    TSuperType DataType() const noexcept { return type_; }

    // The value at a dotted path of member names below this object ("data.entity.profile"), or
    // nothing when this is no object, a name is missing or a name before the last is no object.
    ISuperObject Lookup(QStringView path) const;
    // AsString of Lookup(path); the empty text when the lookup gives nothing.
    QString LookupString(QStringView path) const;
    // The element list at path when that value is an array, otherwise nothing.
    TSuperArrayPtr LookupArray(QStringView path) const;

    // The text form: a string's own text, "null", "true"/"false", the number's text, or the
    // compact JSON of an object or array.
    QString AsString() const;
    TSuperArrayPtr AsArray() const;          // nothing unless stArray
    TSuperTablePtr AsObject() const;         // nothing unless stObject
    TSuperEnumerator GetEnumerator() const;  // member values or elements, in order

    // The payload of a scalar of the matching kind; false or 0 for any other kind.
    bool AsBoolean() const noexcept { return type_ == stBoolean && bool_; }
    std::int64_t AsInteger() const noexcept { return type_ == stInt ? int_ : 0; }
    std::int64_t AsCurrency() const noexcept { return type_ == stCurrency ? int_ : 0; }
    double AsDouble() const noexcept { return type_ == stDouble ? double_ : 0.0; }

private:
    friend class json_detail::JsonParser;
    friend class TSuperArray;
    friend class TSuperTableString;
    friend class TSuperEnumerator;

    // Only the parser makes nodes; they are plain values laid out in the tree's memory.
    TSuperObject() = default;
    TSuperObject(const TSuperObject&) = default;
    TSuperObject& operator=(const TSuperObject&) = default;

    // The node at a dotted path below this one and the tree it belongs to, or nullptr.
    const TSuperObject* FindPath(QStringView path,
                                 const json_detail::JsonDocument*& document) const noexcept;
    void AppendJson(QString& out) const;
    QStringView Text() const noexcept { return {text_, qsizetype(size_)}; }

    TSuperType type_ = stNull;
    std::uint32_t size_ = 0;  // code units of a string
    union {
        bool bool_;
        std::int64_t int_;  // stInt, and stCurrency times 10 000
        double double_;
        const char16_t* text_;
        const TSuperArray* array_;
        const TSuperTableString* table_;
        std::uintptr_t raw_ = 0;
    };
};

// The elements of one array, indexed from 0.
class TSuperArray {
public:
    int Length() const noexcept { return int(count_); }
    // The element at index, or nothing when index lies outside 0 .. Length()-1.
    ISuperObject ItemAt(int index) const;

private:
    friend class json_detail::JsonParser;
    friend class TSuperObject;
    friend class TSuperEnumerator;
    TSuperArray() = default;
    TSuperArray(const TSuperArray&) = delete;
    TSuperArray& operator=(const TSuperArray&) = delete;

    // The elements follow this header directly in the tree's memory.
    const TSuperObject* Items() const noexcept {
        return reinterpret_cast<const TSuperObject*>(this + 1);
    }

    const json_detail::JsonDocument* document_ = nullptr;
    std::uint32_t count_ = 0;
};

// The members of one object: unique names (compared exactly, code unit by code unit) held in
// member order: by a 32-bit hash of the name, highest first, equal hashes by name, smallest first.
class TSuperTableString {
public:
    int Count() const noexcept { return int(count_); }
    // The value of the member with exactly this name (a "." is an ordinary character), or nothing.
    ISuperObject Member(QStringView name) const;
    // The name of the member at position index of member order; empty outside the table.
    QString NameAt(int index) const;

    // The hash that decides member order: h = h * 129 + c + 0x9E370001 over the code units.
    static std::uint32_t NameHash(QStringView name) noexcept;

private:
    friend class json_detail::JsonParser;
    friend class TSuperObject;
    friend class TSuperEnumerator;
    TSuperTableString() = default;
    TSuperTableString(const TSuperTableString&) = delete;
    TSuperTableString& operator=(const TSuperTableString&) = delete;

    struct Entry {
        std::uint32_t hash;
        std::uint32_t nameSize;
        const char16_t* name;
        TSuperObject value;
        QStringView Name() const noexcept { return {name, qsizetype(nameSize)}; }
    };
    const Entry* Entries() const noexcept { return reinterpret_cast<const Entry*>(this + 1); }
    const Entry* Find(QStringView name) const noexcept;

    const json_detail::JsonDocument* document_ = nullptr;
    std::uint32_t count_ = 0;
};

// Walks the member values of an object (in member order) or the elements of an array; over any
// other kind it yields nothing. It holds the tree alive while it exists.
//   for (auto e = node->GetEnumerator(); e.MoveNext();) use(e.Current());
class TSuperEnumerator {
public:
    TSuperEnumerator() = default;
    // Advances to the next item; false once there is none.
    bool MoveNext();
    // The item MoveNext arrived at; nothing before the first and after the last MoveNext.
    ISuperObject Current() const;

private:
    friend class TSuperObject;
    explicit TSuperEnumerator(ISuperObject node) : node_(std::move(node)) {}

    ISuperObject node_;
    int index_ = -1;
};

// Parses JSON text into a tree. Gives the root node, or nothing when the text breaks the rules
// below (never a partial tree). Never throws. The parser is lenient, for script-embedded state:
// - the text ends at its end or at its first NUL code unit, whichever comes first;
// - blanks are 8, 9, 10, 12, 13 and 32; block and line comments go wherever blanks do; in a block
//   comment the code unit after an asterisk ends it when it is a slash and otherwise disarms that
//   asterisk (so a double asterisk before the slash does not close); a slash opening no comment
//   fails, except after the complete top-level value, where it is ignored;
// - strings in double quotes or apostrophes; escapes \b \f \n \r \t, \uXXXX (one code unit),
//   \xXX (code unit 0..255), a backslash before anything else gives that character; a non-hex
//   digit where one is due fails; raw control characters are kept;
// - numbers start with "-" or a digit and run over digits, "+", "-", ".", "e", "E": without point
//   and exponent stInt, with a point and at most four fraction digits stCurrency, otherwise
//   stDouble; an integer or fixed-point value beyond 64 bits becomes the nearest stDouble, one
//   beyond the double range an infinity;
// - true, false, null only in lower case and when no letter, "_" or "." follows;
// - any other start is a bare word, a string running to the end of the text (top level), to the
//   next "," or "]" (array) or "," or "}" (object), escapes applied, trailing spaces, CR, LF cut;
// - trailing commas in arrays and objects; an empty array place is an empty string;
// - member names quoted or bare (a bare name runs to the colon, blanks included); a repeated name
//   keeps the later value;
// - one "(" before a value is skipped;
// - a value inside more than 31 arrays and objects fails;
// - what follows the complete top-level value is ignored; an empty text (or blanks and comments
//   only) gives an empty stString; a text of 2^31 code units or more gives nothing.
ISuperObject ParseString(const QString& text);

}  // namespace quillorn
