// The memory of one parsed tree: the parsed text (strings without escapes point into it) and a
// bump arena for nodes, tables, lists and decoded strings. Internal to the document model; the
// handles of SuperObject.h share this object's reference count.
#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

namespace quillorn::json_detail {

class JsonDocument : public std::enable_shared_from_this<JsonDocument> {
public:
    explicit JsonDocument(const QString& source);
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;

    const char16_t* SourceBegin() const noexcept {
        return reinterpret_cast<const char16_t*>(source_.constData());
    }
    const char16_t* SourceEnd() const noexcept { return SourceBegin() + source_.size(); }

    // Uninitialised memory for bytes, aligned to 8; stays where it is until the tree is freed.
    void* Allocate(std::size_t bytes);

    // A handle to something inside this tree that keeps the whole tree alive.
    template <class T>
    std::shared_ptr<const T> Share(const T* inside) const {
        return std::shared_ptr<const T>(shared_from_this(), inside);
    }

    // Bytes the arena took from the heap (the parsed text is shared with the caller, not counted).
    std::size_t ArenaBytes() const noexcept { return arenaBytes_; }

private:
    void AddBlock(std::size_t minimum);

    QString source_;
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    std::byte* next_ = nullptr;
    std::byte* end_ = nullptr;
    std::size_t blockSize_;
    std::size_t arenaBytes_ = 0;
};

}  // namespace quillorn::json_detail
