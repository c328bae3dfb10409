// Feeds arbitrary pages to the card page reader: whatever the directory sends, the reader either
// answers with a branch id or raises Failure, never crashes or hangs.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "harvest/CardPageReader.h"
#include "platform/Errors.h"

namespace {

void ReadCard(const QString& page) {
    try {
        const quillorn::CardPage card = quillorn::CardPageReader(QStringLiteral(",")).Read(page);
        // A page that reads must have come with a branch id: "Broken" is raised otherwise.
        if (card.Profile.BranchId.isEmpty())
            std::abort();
    } catch (const quillorn::Failure&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ReadCard(text);
    return 0;
}
