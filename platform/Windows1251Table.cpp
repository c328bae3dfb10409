#include "platform/Windows1251Table.h"

#include <QStringDecoder>

namespace quillorn {

std::array<char16_t, 256> Windows1251CodeUnits() {
    std::array<char16_t, 256> units{};
    QStringDecoder decoder("windows-1251");
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const QString s = decoder.decode(QByteArrayView(&byte, 1));
        const char16_t u = s.size() == 1 ? s.at(0).unicode() : u'\xFFFD';
        units[b] = u == 0xFFFD ? static_cast<char16_t>(b) : u;
    }
    return units;
}

}  // namespace quillorn
