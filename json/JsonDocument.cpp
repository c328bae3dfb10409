#include "json/JsonDocument.h"

#include <algorithm>

namespace quillorn::json_detail {

namespace {
constexpr std::size_t kAlign = 8;
constexpr std::size_t kMinBlock = 4 * 1024;
constexpr std::size_t kMaxBlock = 1024 * 1024;  // bounds what the last block leaves unused
}  // namespace

JsonDocument::JsonDocument(const QString& source) : source_(source) {
    // Strings point into the text, so it must be owned: text wrapped around foreign memory
    // (QString::fromRawData) is copied.
    if (!source_.data_ptr().isMutable())
        source_ = QString(source.constData(), source.size());
    // A tree takes roughly as many bytes as the text has code units; start near that.
    blockSize_ = std::clamp<std::size_t>(std::size_t(source_.size()) / 2, kMinBlock, kMaxBlock);
}

void* JsonDocument::Allocate(std::size_t bytes) {
    bytes = (bytes + kAlign - 1) & ~(kAlign - 1);
    if (std::size_t(end_ - next_) < bytes)
        AddBlock(bytes);
    void* result = next_;
    next_ += bytes;
    return result;
}

void JsonDocument::AddBlock(std::size_t minimum) {
    const std::size_t size = std::max(blockSize_, minimum);
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
    arenaBytes_ += size;
    next_ = blocks_.back().get();
    end_ = next_ + size;
    blockSize_ = std::min(blockSize_ * 2, kMaxBlock);
}

}  // namespace quillorn::json_detail
