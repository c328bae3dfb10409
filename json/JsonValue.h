// The JSON document model: a read-only tree of nodes built once by ParseJson and then only
// queried by dotted paths, member tables, element lists and text forms.
//
// Ownership: every node, member table and element list of one tree lives in one block of memory
// owned by the tree. The handles JsonValuePtr, JsonArrayPtr and JsonObjectPtr are shared
// pointers into that block that share one reference count, so holding any node, table or list (or
// a range of items) keeps the whole tree alive, and dropping the last handle frees it at once. An
// empty handle is "nothing". Nodes are reached only through handles; they are never copied out.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

namespace quillorn {

namespace json_detail {
class JsonDocument;
class JsonParser;
}  // namespace json_detail

// The kind of a node and with it the payload the node carries.
enum class JsonKind : std::uint8_t {
    Null,      // the literal null
    Boolean,   // true or false
    Double,    // 64-bit floating value
    Currency,  // signed 64-bit integer holding the value times 10 000 (four implied decimals)
    Int,       // signed 64-bit integer
    Object,    // member table
    Array,     // element list
    String,    // UTF-16 text, any code unit allowed
};

class JsonValue;
class JsonArray;
class JsonObject;
class JsonItems;

using JsonValuePtr = std::shared_ptr<const JsonValue>;
using JsonArrayPtr = std::shared_ptr<const JsonArray>;
using JsonObjectPtr = std::shared_ptr<const JsonObject>;

// One node of a tree. Every query is const and never throws.
class JsonValue {
public:
    JsonKind Kind() const noexcept { return type_; }

    // The value at a dotted path of member names below this object ("data.entity.profile"), or
    // nothing when this is no object, a name is missing or a name before the last is no object.
    JsonValuePtr Lookup(QStringView path) const;
    // AsString of Lookup(path); the empty text when the lookup gives nothing.
    QString LookupString(QStringView path) const;
    // The element list at path when that value is an array, otherwise nothing.
    JsonArrayPtr LookupArray(QStringView path) const;

    // The text form: a string's own text, "null", "true"/"false", the number's text, or the
    // compact JSON of an object or array.
    QString AsString() const;
    JsonArrayPtr AsArray() const;    // nothing unless JsonKind::Array
    JsonObjectPtr AsObject() const;  // nothing unless JsonKind::Object
    JsonItems Items() const;         // member values or elements, in order

    // The payload of a scalar of the matching kind; false or 0 for any other kind.
    bool AsBoolean() const noexcept { return type_ == JsonKind::Boolean && bool_; }
    std::int64_t AsInteger() const noexcept { return type_ == JsonKind::Int ? int_ : 0; }
    std::int64_t AsCurrency() const noexcept { return type_ == JsonKind::Currency ? int_ : 0; }
    double AsDouble() const noexcept { return type_ == JsonKind::Double ? double_ : 0.0; }

private:
    friend class json_detail::JsonParser;
    friend class JsonArray;
    friend class JsonObject;
    friend class JsonItems;

    // Only the parser makes nodes; they are plain values laid out in the tree's memory.
    JsonValue() = default;
    JsonValue(const JsonValue&) = default;
    JsonValue& operator=(const JsonValue&) = default;

    // The node at a dotted path below this one and the tree it belongs to, or nullptr.
    const JsonValue* FindPath(QStringView path,
                              const json_detail::JsonDocument*& document) const noexcept;
    void AppendJson(QString& out) const;
    QStringView Text() const noexcept { return {text_, qsizetype(size_)}; }

    JsonKind type_ = JsonKind::Null;
    std::uint32_t size_ = 0;  // code units of a string
    union {
        bool bool_;
        std::int64_t int_;  // JsonKind::Int, and JsonKind::Currency times 10 000
        double double_;
        const char16_t* text_;
        const JsonArray* array_;
        const JsonObject* table_;
        std::uintptr_t raw_ = 0;
    };
};

// The elements of one array, indexed from 0.
class JsonArray {
public:
    int Length() const noexcept { return int(count_); }
    // The element at index, or nothing when index lies outside 0 .. Length()-1.
    JsonValuePtr ItemAt(int index) const;

private:
    friend class json_detail::JsonParser;
    friend class JsonValue;
    friend class JsonItems;
    JsonArray() = default;
    JsonArray(const JsonArray&) = delete;
    JsonArray& operator=(const JsonArray&) = delete;

    // The elements follow this header directly in the tree's memory.
    const JsonValue* Items() const noexcept { return reinterpret_cast<const JsonValue*>(this + 1); }

    const json_detail::JsonDocument* document_ = nullptr;
    std::uint32_t count_ = 0;
};

// The members of one object: unique names (compared exactly, code unit by code unit) held in
// member order: by a 32-bit hash of the name, highest first, equal hashes by name, smallest first.
class JsonObject {
public:
    int Count() const noexcept { return int(count_); }
    // The value of the member with exactly this name (a "." is an ordinary character), or nothing.
    JsonValuePtr Member(QStringView name) const;
    // The name of the member at position index of member order; empty outside the table.
    QString NameAt(int index) const;

    // The hash that decides member order: h = h * 129 + c + 0x9E370001 over the code units.
    static std::uint32_t NameHash(QStringView name) noexcept;

private:
    friend class json_detail::JsonParser;
    friend class JsonValue;
    friend class JsonItems;
    JsonObject() = default;
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    struct Entry {
        std::uint32_t hash;
        std::uint32_t nameSize;
        const char16_t* name;
        JsonValue value;
        QStringView Name() const noexcept { return {name, qsizetype(nameSize)}; }
    };
    const Entry* Entries() const noexcept { return reinterpret_cast<const Entry*>(this + 1); }
    const Entry* Find(QStringView name) const noexcept;

    const json_detail::JsonDocument* document_ = nullptr;
    std::uint32_t count_ = 0;
};

// The member values of an object (in member order) or the elements of an array, for a range-for;
// empty over any other kind. It holds the tree alive while it exists.
//   for (const JsonValuePtr& item : node->Items()) use(item);
class JsonItems {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = JsonValuePtr;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = JsonValuePtr;

        JsonValuePtr operator*() const { return items_->At(index_); }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

    private:
        friend class JsonItems;
        Iterator(const JsonItems* items, int index) : items_(items), index_(index) {}
        const JsonItems* items_;
        int index_;
    };

    JsonItems() = default;
    int Count() const noexcept;
    // The item at index, or nothing outside 0 .. Count()-1.
    JsonValuePtr At(int index) const;
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, Count()}; }

private:
    friend class JsonValue;
    explicit JsonItems(JsonValuePtr node) : node_(std::move(node)) {}

    JsonValuePtr node_;
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
//   and exponent JsonKind::Int, with a point and at most four fraction digits JsonKind::Currency,
//   otherwise JsonKind::Double; an integer or fixed-point value beyond 64 bits becomes the nearest
//   JsonKind::Double, one beyond the double range an infinity;
// - true, false, null only in lower case and when no letter, "_" or "." follows;
// - any other start is a bare word, a string running to the end of the text (top level), to the
//   next "," or "]" (array) or "," or "}" (object), escapes applied, trailing spaces, CR, LF cut;
// - trailing commas in arrays and objects; an empty array place is an empty string;
// - member names quoted or bare (a bare name runs to the colon, blanks included); a repeated name
//   keeps the later value;
// - one "(" before a value is skipped;
// - a value inside more than 31 arrays and objects fails;
// - what follows the complete top-level value is ignored; an empty text (or blanks and comments
//   only) gives an empty JsonKind::String; a text of 2^31 code units or more gives nothing.
JsonValuePtr ParseJson(const QString& text);

}  // namespace quillorn
