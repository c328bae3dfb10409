// Trimming as the card list and proxy.txt take their lines: everything from U+0000 to U+0020
// (control characters and the space) goes at both ends, and nothing else does.
#pragma once

#include <QString>

namespace quillorn {

// text without the code units U+0000 to U+0020 at its beginning and its end.
QString TrimControls(const QString& text);

}  // namespace quillorn
