// Arbitrary text through the JSON parser, whatever tree comes back walked through every query and
// text form: shared by the fuzz target and the test that replays its saved inputs. The first byte
// picks how the rest becomes text: raw UTF-16 code units (lone surrogates and NULs included) when
// odd, UTF-8 when even. A tree's compact JSON must parse again to the same text.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzTarget.h"
#include "json/JsonNumberText.h"
#include "json/JsonValue.h"

namespace quillorn::fuzz {

inline QString JsonInputText(const QByteArray& input) {
    if (input.isEmpty())
        return {};
    const QByteArray rest = input.mid(1);
    if ((input[0] & 1) == 0)
        return QString::fromUtf8(rest);
    QString text(rest.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), rest.constData(), static_cast<size_t>(rest.size() / 2) * 2);
    return text;
}

// Every query of node and of everything under it answers without leaving the tree.
inline QString CheckJsonNode(const JsonValuePtr& node, int depth) {
    if (depth > 40)
        return QStringLiteral("a tree deeper than the parser allows");
    (void)node->AsString();
    (void)node->LookupString(u"a.b");
    (void)node->LookupArray(u"a");
    if (const auto table = node->AsObject()) {
        for (int i = 0; i < table->Count(); ++i) {
            if (!table->Member(table->NameAt(i)))
                return QStringLiteral("member %1 is listed but not found")
                    .arg(Shown(table->NameAt(i)));
        }
    }
    if (const auto array = node->AsArray()) {
        if (array->ItemAt(array->Length()))
            return QStringLiteral("an array has an item past its end");
    }
    const JsonItems items = node->Items();
    if (items.At(-1) || items.At(items.Count()))
        return QStringLiteral("the items have one outside their range");
    for (const JsonValuePtr& item : items) {
        if (!item)
            return QStringLiteral("an item is missing");
        if (QString broken = CheckJsonNode(item, depth + 1); !broken.isEmpty())
            return broken;
    }
    return {};
}

inline QString CheckJson(const QByteArray& input) {
    const JsonValuePtr root = ParseJson(JsonInputText(input));
    if (root) {
        if (QString broken = CheckJsonNode(root, 0); !broken.isEmpty())
            return broken;
        const JsonKind kind = root->Kind();
        const QString json = root->AsString();
        // The compact JSON reads back to the same text. An infinity (a number beyond the double
        // range) has no JSON form; a floating zero "0." reads back as the fixed-point "0", so
        // there the second round must be stable.
        if ((kind == JsonKind::Object || kind == JsonKind::Array) && !json.contains(u"inf")) {
            const JsonValuePtr again = ParseJson(json);
            const QString second = again ? again->AsString() : QString();
            bool holds = again && second == json;
            if (again && !holds && json.contains(u"0.")) {
                const JsonValuePtr third = ParseJson(second);
                holds = third && third->AsString() == second;
            }
            if (!holds)
                return QStringLiteral("compact JSON does not read back: ") + Shown(json);
        }
    }
    if (input.size() >= 8) {
        std::int64_t integer;
        double floating;
        std::memcpy(&integer, input.constData() + input.size() - 8, 8);
        std::memcpy(&floating, input.constData() + input.size() - 8, 8);
        (void)CurrencyText(integer);
        (void)DoubleText(floating);
    }
    return {};
}

}  // namespace quillorn::fuzz
