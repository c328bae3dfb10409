// Queries on a parsed tree: paths, member tables, element lists and enumeration.
#include "json/JsonValue.h"

#include <algorithm>
#include <string_view>

#include "json/JsonDocument.h"

namespace quillorn {

namespace {

std::u16string_view View(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

}  // namespace

std::uint32_t JsonObject::NameHash(QStringView name) noexcept {
    std::uint32_t hash = 0;
    for (const QChar c : name)
        hash = hash * 129u + c.unicode() + 0x9E370001u;
    return hash;
}

const JsonObject::Entry* JsonObject::Find(QStringView name) const noexcept {
    const std::uint32_t hash = NameHash(name);
    const std::u16string_view wanted = View(name);
    const Entry* first = Entries();
    const Entry* last = first + count_;
    // Member order: hash descending, then name ascending.
    const Entry* hit = std::lower_bound(first, last, 0, [&](const Entry& e, int) {
        if (e.hash != hash)
            return e.hash > hash;
        return std::u16string_view(e.name, e.nameSize) < wanted;
    });
    if (hit == last || hit->hash != hash || std::u16string_view(hit->name, hit->nameSize) != wanted)
        return nullptr;
    return hit;
}

JsonValuePtr JsonObject::Member(QStringView name) const {
    const Entry* entry = Find(name);
    if (entry == nullptr)
        return {};
    return document_->Share(&entry->value);
}

QString JsonObject::NameAt(int index) const {
    if (index < 0 || std::uint32_t(index) >= count_)
        return {};
    return Entries()[index].Name().toString();
}

JsonValuePtr JsonArray::ItemAt(int index) const {
    if (index < 0 || std::uint32_t(index) >= count_)
        return {};
    return document_->Share(&Items()[index]);
}

const JsonValue* JsonValue::FindPath(QStringView path,
                                     const json_detail::JsonDocument*& document) const noexcept {
    const JsonValue* current = this;
    for (;;) {
        if (current->type_ != JsonKind::Object)
            return nullptr;  // a name before the last is no object
        const qsizetype dot = path.indexOf(u'.');
        const JsonObject::Entry* entry = current->table_->Find(dot < 0 ? path : path.first(dot));
        if (entry == nullptr)
            return nullptr;
        if (dot < 0) {
            document = current->table_->document_;
            return &entry->value;
        }
        current = &entry->value;
        path = path.sliced(dot + 1);
    }
}

JsonValuePtr JsonValue::Lookup(QStringView path) const {
    const json_detail::JsonDocument* document = nullptr;
    const JsonValue* found = FindPath(path, document);
    if (found == nullptr)
        return {};
    return document->Share(found);
}

QString JsonValue::LookupString(QStringView path) const {
    const json_detail::JsonDocument* document = nullptr;
    const JsonValue* found = FindPath(path, document);
    return found == nullptr ? QString() : found->AsString();
}

JsonArrayPtr JsonValue::LookupArray(QStringView path) const {
    const json_detail::JsonDocument* document = nullptr;
    const JsonValue* found = FindPath(path, document);
    return found == nullptr ? nullptr : found->AsArray();
}

JsonArrayPtr JsonValue::AsArray() const {
    if (type_ != JsonKind::Array)
        return {};
    return array_->document_->Share(array_);
}

JsonObjectPtr JsonValue::AsObject() const {
    if (type_ != JsonKind::Object)
        return {};
    return table_->document_->Share(table_);
}

JsonItems JsonValue::Items() const {
    // Only containers yield items, and only they know their tree; over a scalar the range is
    // empty.
    if (type_ == JsonKind::Array)
        return JsonItems(array_->document_->Share(this));
    if (type_ == JsonKind::Object)
        return JsonItems(table_->document_->Share(this));
    return JsonItems();
}

int JsonItems::Count() const noexcept {
    if (!node_)
        return 0;
    if (node_->type_ == JsonKind::Array)
        return node_->array_->Length();
    if (node_->type_ == JsonKind::Object)
        return node_->table_->Count();
    return 0;
}

JsonValuePtr JsonItems::At(int index) const {
    if (index < 0 || index >= Count())
        return {};
    if (node_->type_ == JsonKind::Array)
        return JsonValuePtr(node_, &node_->array_->Items()[index]);
    return JsonValuePtr(node_, &node_->table_->Entries()[index].value);
}

}  // namespace quillorn
