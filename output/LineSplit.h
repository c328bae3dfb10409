// Splitting text into lines the way the stored files and the log panel do: a line ends at CR LF, at
// a lone CR or at a lone LF; a line break at the very end starts no further line.
#pragma once

#include <QString>
#include <QStringList>

namespace quillorn {

// The lines of text: "a\r\nb" and "a\r\nb\r\n" both give "a", "b"; "" gives none; "\n" gives one
// empty line.
QStringList SplitLines(const QString& text);

}  // namespace quillorn
