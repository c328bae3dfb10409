// Feeds arbitrary text to the JSON parser and walks whatever tree comes back through every query
// and text form. The first byte picks how the rest becomes text: raw UTF-16 code units (lone
// surrogates and NULs included) or UTF-8. A tree's compact JSON must parse again to the same text.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "json/JsonNumberText.h"
#include "json/JsonValue.h"

namespace {

using quillorn::JsonValuePtr;

QString TextOf(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return {};
    const bool utf16 = data[0] & 1;
    ++data;
    --size;
    if (!utf16)
        return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

void Walk(const JsonValuePtr& node, int depth) {
    if (depth > 40)
        std::abort();  // deeper than the parser allows
    (void)node->AsString();
    (void)node->LookupString(u"a.b");
    (void)node->LookupArray(u"a");
    if (const auto table = node->AsObject()) {
        for (int i = 0; i < table->Count(); ++i) {
            if (!table->Member(table->NameAt(i)))
                std::abort();  // every member is found
        }
    }
    if (const auto array = node->AsArray()) {
        if (array->ItemAt(array->Length()))
            std::abort();
    }
    const quillorn::JsonItems items = node->Items();
    if (items.At(-1) || items.At(items.Count()))
        std::abort();  // nothing outside the range
    for (const JsonValuePtr& item : items) {
        if (!item)
            std::abort();
        Walk(item, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const JsonValuePtr root = quillorn::ParseJson(TextOf(data, size));
    if (root) {
        Walk(root, 0);
        const auto kind = root->Kind();
        const QString json = root->AsString();
        // The compact JSON reads back to the same text. An infinity (a number beyond the double
        // range) has no JSON form; a floating zero "0." reads back as the fixed-point "0", so
        // there the second round must be stable.
        if ((kind == quillorn::JsonKind::Object || kind == quillorn::JsonKind::Array) &&
            !json.contains(u"inf")) {
            const JsonValuePtr again = quillorn::ParseJson(json);
            const QString second = again ? again->AsString() : QString();
            bool holds = again && second == json;
            if (again && !holds && json.contains(u"0.")) {
                const JsonValuePtr third = quillorn::ParseJson(second);
                holds = third && third->AsString() == second;
            }
            if (!holds) {
                std::fprintf(stderr, "compact JSON does not read back: %s\n",
                             json.toUtf8().constData());
                std::abort();
            }
        }
    }
    if (size >= 8) {
        std::int64_t integer;
        double floating;
        std::memcpy(&integer, data + size - 8, 8);
        std::memcpy(&floating, data + size - 8, 8);
        (void)quillorn::CurrencyText(integer);
        (void)quillorn::DoubleText(floating);
    }
    return 0;
}
