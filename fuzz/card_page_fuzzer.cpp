// Feeds arbitrary pages to the card page reader, and the page's first line to the proxy line and
// its port conversion: whatever the directory or a user's proxy.txt holds, the readers either
// answer or raise Failure, never crash or hang.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "harvest/CardPageReader.h"
#include "net/ProxyLine.h"
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

void ReadProxyLine(const QString& text) {
    const QString line = text.section(u'\n', 0, 0);
    const quillorn::ProxyLine proxy = quillorn::ProxyLine::Parse(line);
    try {
        const int port = quillorn::ParseToolkitInteger(proxy.portText);
        // What the conversion accepts, its own decimal form must give back.
        if (quillorn::ParseToolkitInteger(QString::number(port)) != port)
            std::abort();
    } catch (const quillorn::Failure&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ReadCard(text);
    ReadProxyLine(text);
    return 0;
}
