// Decoding text in a named charset with the system's own converter (iconv on Linux, the code pages
// of Windows), for the charsets a response may declare.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quillorn {

// body decoded by the charset name (lower case, plain charset characters only); a byte or sequence
// the charset does not map becomes U+FFFD and decoding goes on after it. Nothing when the system
// does not know the name.
std::optional<QString> DecodeWithSystemConverter(const QByteArray& name, const QByteArray& body);

}  // namespace quillorn
