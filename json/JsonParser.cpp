// The lenient parser behind ParseJson (its rules are listed in SuperObject.h). Recursive descent
// over UTF-16 code units; containers collect their children on scratch stacks and move them into
// the tree's arena in one piece when they close, so a tree costs a handful of allocations.
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "json/ClassicDouble.h"
#include "json/JsonDocument.h"
#include "json/JsonValue.h"
#include "platform/HexDigits.h"

namespace quillorn {
namespace json_detail {

namespace {

constexpr int kMaxDepth = 31;  // enclosing arrays and objects a value may lie in

// A stack of trivially copyable values kept as raw bytes, because the node types do not let
// anyone but the parser construct or copy them.
template <class T>
class ScratchStack {
    static_assert(std::is_trivially_copyable_v<T>);
    struct alignas(T) Slot {
        unsigned char bytes[sizeof(T)];
    };

public:
    void Push(const T& value) {
        slots_.emplace_back();
        std::memcpy(&slots_.back(), &value, sizeof(T));
    }
    std::size_t Size() const noexcept { return slots_.size(); }
    T* At(std::size_t index) noexcept { return std::launder(reinterpret_cast<T*>(&slots_[index])); }
    void Truncate(std::size_t size) { slots_.resize(size); }

private:
    std::vector<Slot> slots_;
};

bool IsBlank(char16_t c) {
    return c == 32 || c == 10 || c == 13 || c == 9 || c == 8 || c == 12;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsNumberPart(char16_t c) {
    return IsDigit(c) || c == u'.' || c == u'-' || c == u'+' || c == u'e' || c == u'E';
}

// What may not follow true, false or null for them to be literals.
bool ContinuesWord(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'.';
}

// Text to double, independent of the process locale; out-of-range values become infinity or zero.
double ToDouble(const char16_t* begin, const char16_t* end) {
    std::string ascii(std::size_t(end - begin), '\0');
    std::transform(begin, end, ascii.begin(), [](char16_t c) { return char(c); });
    double value = 0;
    const auto [rest, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = ClassicStrtod(ascii.c_str());
    } else if (error != std::errc()) {
        value = 0;
    }
    return value;
}

// The first quote or backslash from p on, or end. Strings are most of a page, so the scan goes
// eight code units at a time where the processor allows.
const char16_t* ScanString(const char16_t* p, const char16_t* end, char16_t quote) {
#ifdef __SSE2__
    const __m128i quotes = _mm_set1_epi16(short(quote));
    const __m128i backslashes = _mm_set1_epi16(short(u'\\'));
    while (end - p >= 8) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi16(chunk, quotes), _mm_cmpeq_epi16(chunk, backslashes)));
        if (mask != 0)
            return p + __builtin_ctz(unsigned(mask)) / 2;
        p += 8;
    }
#endif
    while (p < end && *p != quote && *p != u'\\')
        ++p;
    return p;
}

}  // namespace

class JsonParser {
public:
    explicit JsonParser(JsonDocument& document)
        : document_(document), p_(document.SourceBegin()), end_(document.SourceEnd()) {
        // The text ends at its first NUL.
        const qsizetype nul =
            QStringView(p_, end_ - p_).indexOf(QChar(u'\0'), 0, Qt::CaseSensitive);
        if (nul >= 0)
            end_ = p_ + nul;
    }

    // The root node in the arena, or nullptr when the text breaks the rules.
    const JsonValue* Parse() {
        JsonValue root;
        if (!ParseValue(Context::TopLevel, 0, root))
            return nullptr;
        // Whatever follows the complete value is ignored.
        auto* node = static_cast<JsonValue*>(document_.Allocate(sizeof(JsonValue)));
        std::memcpy(static_cast<void*>(node), &root, sizeof root);
        return node;
    }

private:
    enum class Context { TopLevel, InArray, InObject };
    using Entry = JsonObject::Entry;

    bool AtEnd() const noexcept { return p_ >= end_; }

    // Skips blanks and comments; false on a slash that opens no comment.
    bool SkipBlanks() {
        for (;;) {
            while (p_ < end_ && IsBlank(*p_))
                ++p_;
            if (p_ >= end_ || *p_ != u'/')
                return true;
            if (end_ - p_ < 2)
                return false;
            if (p_[1] == u'*') {
                p_ += 2;
                // An asterisk arms the end; the code unit after it ends the comment when it is a
                // slash and disarms it otherwise, another asterisk included.
                bool armed = false;
                while (p_ < end_) {
                    const char16_t c = *p_++;
                    if (armed) {
                        if (c == u'/')
                            break;
                        armed = false;
                    } else if (c == u'*') {
                        armed = true;
                    }
                }
            } else if (p_[1] == u'/') {
                p_ += 2;
                while (p_ < end_ && *p_ != u'\n')
                    ++p_;
                if (p_ < end_)
                    ++p_;
            } else {
                return false;
            }
        }
    }

    bool ParseValue(Context context, int depth, JsonValue& out) {
        if (!SkipBlanks())
            return false;
        if (!AtEnd() && *p_ == u'(') {
            ++p_;
            if (!SkipBlanks())
                return false;
        }
        if (AtEnd())
            return ParseBareWord(context, out);
        const char16_t c = *p_;
        switch (c) {
            case u'"':
            case u'\'':
                ++p_;
                out.type_ = JsonKind::String;
                return ParseQuoted(c, out.text_, out.size_);
            case u'[':
                ++p_;
                return ParseArray(depth, out);
            case u'{':
                ++p_;
                return ParseObject(depth, out);
            case u't':
                if (TakeLiteral(u"true"))
                    return SetBoolean(out, true);
                break;
            case u'f':
                if (TakeLiteral(u"false"))
                    return SetBoolean(out, false);
                break;
            case u'n':
                if (TakeLiteral(u"null")) {
                    out.type_ = JsonKind::Null;
                    return true;
                }
                break;
            default:
                if (c == u'-' || IsDigit(c))
                    return ParseNumber(out);
                break;
        }
        return ParseBareWord(context, out);
    }

    static bool SetBoolean(JsonValue& out, bool value) {
        out.type_ = JsonKind::Boolean;
        out.raw_ = 0;
        out.bool_ = value;
        return true;
    }

    bool TakeLiteral(std::u16string_view word) {
        const auto size = std::ptrdiff_t(word.size());
        if (end_ - p_ < size || std::u16string_view(p_, word.size()) != word)
            return false;
        if (end_ - p_ > size && ContinuesWord(p_[size]))
            return false;
        p_ += size;
        return true;
    }

    // Decodes the escape after a backslash (p_ is past the backslash); false when the text ends or
    // a hex digit is due and missing.
    bool TakeEscape(char16_t& out) {
        if (AtEnd())
            return false;
        const char16_t c = *p_++;
        switch (c) {
            case u'b':
                out = 8;
                return true;
            case u'f':
                out = 12;
                return true;
            case u'n':
                out = 10;
                return true;
            case u'r':
                out = 13;
                return true;
            case u't':
                out = 9;
                return true;
            case u'u':
                return TakeHex(4, out);
            case u'x':
                return TakeHex(2, out);
            default:
                out = c;
                return true;
        }
    }

    bool TakeHex(int digits, char16_t& out) {
        if (end_ - p_ < digits)
            return false;
        unsigned value = 0;
        for (int i = 0; i < digits; ++i) {
            const int digit = HexDigitValue(*p_++);
            if (digit < 0)
                return false;
            value = value * 16 + unsigned(digit);
        }
        out = char16_t(value);
        return true;
    }

    // A string up to the closing quote (p_ is past the opening one). Text without escapes stays
    // where it is in the parsed text; escaped text is decoded into the arena.
    bool ParseQuoted(char16_t quote, const char16_t*& text, std::uint32_t& size) {
        const char16_t* start = p_;
        p_ = ScanString(p_, end_, quote);
        if (AtEnd())
            return false;
        if (*p_ == quote) {
            text = start;
            size = std::uint32_t(p_ - start);
            ++p_;
            return true;
        }
        buffer_.assign(start, p_);
        while (p_ < end_) {
            const char16_t c = *p_++;
            if (c == quote)
                return StoreBuffer(text, size);
            if (c == u'\\') {
                char16_t decoded;
                if (!TakeEscape(decoded))
                    return false;
                buffer_.push_back(decoded);
            } else {
                buffer_.push_back(c);
            }
        }
        return false;
    }

    bool StoreBuffer(const char16_t*& text, std::uint32_t& size) {
        size = std::uint32_t(buffer_.size());
        auto* copy = static_cast<char16_t*>(document_.Allocate(buffer_.size() * sizeof(char16_t)));
        std::copy(buffer_.begin(), buffer_.end(), copy);
        text = copy;
        return true;
    }

    // A bare word: up to the end of the text, or inside a container up to its separator or close.
    bool ParseBareWord(Context context, JsonValue& out) {
        const char16_t close = context == Context::InArray ? u']' : u'}';
        const bool topLevel = context == Context::TopLevel;
        auto endsWord = [&](char16_t c) { return !topLevel && (c == u',' || c == close); };
        out.type_ = JsonKind::String;
        const char16_t* start = p_;
        while (p_ < end_ && !endsWord(*p_) && *p_ != u'\\')
            ++p_;
        if (AtEnd() || *p_ != u'\\') {
            out.text_ = start;
            out.size_ = std::uint32_t(p_ - start);
        } else {
            buffer_.assign(start, p_);
            while (p_ < end_ && !endsWord(*p_)) {
                char16_t c = *p_++;
                if (c == u'\\' && !TakeEscape(c))
                    return false;
                buffer_.push_back(c);
            }
            StoreBuffer(out.text_, out.size_);
        }
        while (out.size_ > 0) {
            const char16_t last = out.text_[out.size_ - 1];
            if (last != u' ' && last != u'\r' && last != u'\n')
                break;
            --out.size_;
        }
        return true;
    }

    bool ParseNumber(JsonValue& out) {
        const char16_t* start = p_;
        bool point = false;
        bool exponent = false;
        while (p_ < end_ && IsNumberPart(*p_)) {
            point = point || *p_ == u'.';
            exponent = exponent || *p_ == u'e' || *p_ == u'E';
            ++p_;
        }
        if (!exponent && ReadFixed(start, point, out))
            return true;
        out.type_ = JsonKind::Double;
        out.double_ = ToDouble(start, p_);
        return true;
    }

    // An integer (no point) or a fixed-point value with at most four fraction digits; false when
    // the text needs a double: five or more fraction digits, or a value beyond 64 bits.
    bool ReadFixed(const char16_t* s, bool point, JsonValue& out) {
        const bool negative = *s == u'-';
        if (negative)
            ++s;
        // Magnitudes up to 2^63 are collected; the sign is applied at the end.
        constexpr std::uint64_t kLimit = std::uint64_t(1) << 63;
        std::uint64_t value = 0;
        auto addDigit = [&](char16_t c) {
            const unsigned digit = unsigned(c - u'0');
            if (value > (kLimit - digit) / 10)
                return false;
            value = value * 10 + digit;
            return true;
        };
        for (; s < p_ && IsDigit(*s); ++s) {
            if (!addDigit(*s))
                return false;
        }
        if (point) {
            // The kind counts every digit after the first point; the value takes the digits
            // that follow it directly, and only when it follows the integer digits.
            const char16_t* dot = std::find(s, p_, u'.');
            if (std::count_if(dot + 1, p_, IsDigit) > 4)
                return false;
            int fractionDigits = 0;
            if (dot == s) {
                for (s = dot + 1; s < p_ && IsDigit(*s); ++s, ++fractionDigits) {
                    if (!addDigit(*s))
                        return false;
                }
            }
            for (; fractionDigits < 4; ++fractionDigits) {
                if (value > kLimit / 10)
                    return false;
                value *= 10;
            }
        }
        if (!negative && value == kLimit)
            return false;
        out.type_ = point ? JsonKind::Currency : JsonKind::Int;
        out.int_ = negative ? std::int64_t(0 - value) : std::int64_t(value);
        return true;
    }

    bool ParseArray(int depth, JsonValue& out) {
        const std::size_t base = nodes_.Size();
        if (!SkipBlanks() || AtEnd())
            return false;
        if (*p_ == u']') {
            ++p_;
            return FinishArray(base, out);
        }
        if (depth + 1 > kMaxDepth)
            return false;
        for (;;) {
            JsonValue item;
            if (*p_ == u',') {
                item.type_ = JsonKind::String;  // an empty place between commas
                item.text_ = p_;
                item.size_ = 0;
            } else if (!ParseValue(Context::InArray, depth + 1, item)) {
                return false;
            }
            nodes_.Push(item);
            if (!SkipBlanks() || AtEnd())
                return false;
            if (*p_ == u']')
                break;
            if (*p_ != u',')
                return false;
            ++p_;
            if (!SkipBlanks() || AtEnd())
                return false;
            if (*p_ == u']')
                break;
        }
        ++p_;
        return FinishArray(base, out);
    }

    bool FinishArray(std::size_t base, JsonValue& out) {
        const std::size_t count = nodes_.Size() - base;
        void* memory = document_.Allocate(sizeof(JsonArray) + count * sizeof(JsonValue));
        auto* array = new (memory) JsonArray();
        array->document_ = &document_;
        array->count_ = std::uint32_t(count);
        if (count > 0) {
            std::memcpy(static_cast<void*>(array + 1), nodes_.At(base), count * sizeof(JsonValue));
        }
        nodes_.Truncate(base);
        out.type_ = JsonKind::Array;
        out.array_ = array;
        return true;
    }

    bool ParseObject(int depth, JsonValue& out) {
        const std::size_t base = entries_.Size();
        if (!SkipBlanks() || AtEnd())
            return false;
        if (*p_ == u'}') {
            ++p_;
            return FinishObject(base, out);
        }
        if (depth + 1 > kMaxDepth)
            return false;
        for (;;) {
            Entry entry;
            if (!ParseName(entry))
                return false;
            if (!ParseValue(Context::InObject, depth + 1, entry.value))
                return false;
            entry.hash = JsonObject::NameHash(entry.Name());
            entries_.Push(entry);
            if (!SkipBlanks() || AtEnd())
                return false;
            if (*p_ == u'}')
                break;
            if (*p_ != u',')
                return false;
            ++p_;
            if (!SkipBlanks() || AtEnd())
                return false;
            if (*p_ == u'}')
                break;
        }
        ++p_;
        return FinishObject(base, out);
    }

    // A member name and its colon; p_ is at the name's first code unit.
    bool ParseName(Entry& entry) {
        const char16_t c = *p_;
        if (c == u'"' || c == u'\'') {
            ++p_;
            if (!ParseQuoted(c, entry.name, entry.nameSize) || !SkipBlanks())
                return false;
        } else {
            if (std::u16string_view(u"(),.:[]{").find(c) != std::u16string_view::npos) {
                return false;
            }
            if (!ParseBareName(entry.name, entry.nameSize))
                return false;
        }
        if (AtEnd() || *p_ != u':')
            return false;
        ++p_;
        return true;
    }

    // An unquoted name runs up to the colon, blanks included.
    bool ParseBareName(const char16_t*& text, std::uint32_t& size) {
        const char16_t* start = p_;
        while (p_ < end_ && *p_ != u':' && *p_ != u'\\')
            ++p_;
        if (AtEnd())
            return false;
        if (*p_ == u':') {
            text = start;
            size = std::uint32_t(p_ - start);
            return true;
        }
        buffer_.assign(start, p_);
        while (p_ < end_ && *p_ != u':') {
            char16_t c = *p_++;
            if (c == u'\\' && !TakeEscape(c))
                return false;
            buffer_.push_back(c);
        }
        if (AtEnd())
            return false;
        return StoreBuffer(text, size);
    }

    bool FinishObject(std::size_t base, JsonValue& out) {
        const std::size_t count = SortMembers(base);
        void* memory = document_.Allocate(sizeof(JsonObject) + count * sizeof(Entry));
        auto* table = new (memory) JsonObject();
        table->document_ = &document_;
        table->count_ = std::uint32_t(count);
        if (count > 0) {
            std::memcpy(static_cast<void*>(table + 1), entries_.At(base), count * sizeof(Entry));
        }
        entries_.Truncate(base);
        out.type_ = JsonKind::Object;
        out.table_ = table;
        return true;
    }

    // Puts the members from base on into member order, keeping the later of two equal names, and
    // gives their number.
    std::size_t SortMembers(std::size_t base) {
        const std::size_t count = entries_.Size() - base;
        if (count < 2)
            return count;
        Entry* first = entries_.At(base);
        Entry* last = first + count;
        auto before = [](const Entry& a, const Entry& b) {
            if (a.hash != b.hash)
                return a.hash > b.hash;
            return std::u16string_view(a.name, a.nameSize) <
                   std::u16string_view(b.name, b.nameSize);
        };
        // Stable, so that of two equal names the later one stays behind the earlier. Most
        // objects are small: insertion sort needs no buffer there.
        if (count <= 24) {
            for (Entry* e = first + 1; e != last; ++e) {
                if (!before(*e, *(e - 1)))
                    continue;
                const Entry moving = *e;
                Entry* hole = e;
                do {
                    *hole = *(hole - 1);
                    --hole;
                } while (hole != first && before(moving, *(hole - 1)));
                *hole = moving;
            }
        } else {
            std::stable_sort(first, last, before);
        }
        Entry* kept = first;
        for (Entry* e = first; e != last; ++e) {
            const bool replacedLater =
                e + 1 != last && e->hash == (e + 1)->hash && e->Name() == (e + 1)->Name();
            if (!replacedLater)
                *kept++ = *e;
        }
        return std::size_t(kept - first);
    }

    JsonDocument& document_;
    const char16_t* p_;
    const char16_t* end_;
    ScratchStack<JsonValue> nodes_;
    ScratchStack<Entry> entries_;
    std::vector<char16_t> buffer_;
};

}  // namespace json_detail

JsonValuePtr ParseJson(const QString& text) {
    // Sizes inside the tree are 32-bit; no page comes near that.
    if (text.size() > qsizetype(std::numeric_limits<std::int32_t>::max()))
        return {};
    auto document = std::make_shared<json_detail::JsonDocument>(text);
    json_detail::JsonParser parser(*document);
    const JsonValue* root = parser.Parse();
    if (root == nullptr)
        return {};
    return document->Share(root);
}

}  // namespace quillorn
