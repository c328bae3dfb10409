// Numbered file names ("data123.tab", "log-123.txt"): the number is the 32-bit millisecond tick
// counter read as a signed 32-bit integer, so a counter at or past 2^31 gives a minus sign.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace quillorn {

class AppDir;

// The tick as a signed 32-bit decimal number: 2^31 gives "-2147483648".
QString TickNumber(std::uint32_t tick);

// prefix + TickNumber(tick) + suffixes.first(), taking the next number (wrapping like the counter)
// while a file of that number exists in dir under any of the suffixes, so that an existing result,
// log or workbook file is never replaced. Returns the file name without the directory.
// Precondition: suffixes is not empty.
QString FreeNumberedName(const AppDir& dir, const QString& prefix, std::uint32_t tick,
                         const QStringList& suffixes);

}  // namespace quillorn
