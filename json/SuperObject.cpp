// Queries on a parsed tree: paths, member tables, element lists and enumeration.
#include "json/SuperObject.h"

#include <algorithm>
#include <string_view>

#include "json/JsonDocument.h"

namespace quillorn {

namespace {

std::u16string_view View(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

}  // namespace

std::uint32_t TSuperTableString::NameHash(QStringView name) noexcept {
    std::uint32_t hash = 0;
    for (const QChar c : name)
        hash = hash * 129u + c.unicode() + 0x9E370001u;
    return hash;
}

const TSuperTableString::Entry* TSuperTableString::Find(QStringView name) const noexcept {
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

ISuperObject TSuperTableString::Member(QStringView name) const {
    const Entry* entry = Find(name);
    if (entry == nullptr)
        return {};
    return document_->Share(&entry->value);
}

QString TSuperTableString::NameAt(int index) const {
    if (index < 0 || std::uint32_t(index) >= count_)
        return {};
    return Entries()[index].Name().toString();
}

ISuperObject TSuperArray::ItemAt(int index) const {
    if (index < 0 || std::uint32_t(index) >= count_)
        return {};
    return document_->Share(&Items()[index]);
}

const TSuperObject* TSuperObject::FindPath(
    QStringView path, const json_detail::JsonDocument*& document) const noexcept {
    const TSuperObject* current = this;
    for (;;) {
        if (current->type_ != stObject)
            return nullptr;  // a name before the last is no object
        const qsizetype dot = path.indexOf(u'.');
        const TSuperTableString::Entry* entry =
            current->table_->Find(dot < 0 ? path : path.first(dot));
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

ISuperObject TSuperObject::Lookup(QStringView path) const {
    const json_detail::JsonDocument* document = nullptr;
    const TSuperObject* found = FindPath(path, document);
    if (found == nullptr)
        return {};
    return document->Share(found);
}

QString TSuperObject::LookupString(QStringView path) const {
    const json_detail::JsonDocument* document = nullptr;
    const TSuperObject* found = FindPath(path, document);
    return found == nullptr ? QString() : found->AsString();
}

TSuperArrayPtr TSuperObject::LookupArray(QStringView path) const {
    const json_detail::JsonDocument* document = nullptr;
    const TSuperObject* found = FindPath(path, document);
    return found == nullptr ? nullptr : found->AsArray();
}

TSuperArrayPtr TSuperObject::AsArray() const {
    if (type_ != stArray)
        return {};
    return array_->document_->Share(array_);
}

TSuperTablePtr TSuperObject::AsObject() const {
    if (type_ != stObject)
        return {};
    return table_->document_->Share(table_);
}

TSuperEnumerator TSuperObject::GetEnumerator() const {
    // Only containers yield items, and only they know their tree; over a scalar the enumerator
    // is empty.
    if (type_ == stArray)
        return TSuperEnumerator(array_->document_->Share(this));
    if (type_ == stObject)
        return TSuperEnumerator(table_->document_->Share(this));
    return TSuperEnumerator();
}

bool TSuperEnumerator::MoveNext() {
    if (!node_)
        return false;
    int count = 0;
    if (node_->type_ == stArray)
        count = node_->array_->Length();
    if (node_->type_ == stObject)
        count = node_->table_->Count();
    if (index_ < count)
        ++index_;
    return index_ < count;
}

ISuperObject TSuperEnumerator::Current() const {
    if (!node_ || index_ < 0)
        return {};
    if (node_->type_ == stArray && index_ < node_->array_->Length())
        return ISuperObject(node_, &node_->array_->Items()[index_]);
    if (node_->type_ == stObject && index_ < node_->table_->Count())
        return ISuperObject(node_, &node_->table_->Entries()[index_].value);
    return {};
}

}  // namespace quillorn
