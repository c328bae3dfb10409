// urls.txt, the card list as the user left it: read by byte-order mark (UTF-8, UTF-16) or else in
// the system's code page (Windows-1251 when that is UTF-8 but the file is not), and written back in
// the encoding it was read in, mark included; a new one in the system's code page.
#pragma once

#include <QString>
#include <optional>

#include "platform/TextEncoding.h"

namespace quillorn {

inline constexpr const char* kCardListFileName = "urls.txt";

struct CardListFile {
    // The list's lines joined by CR LF, whatever line ends the file used; the line end after the
    // last line does not add an empty line.
    QString text;
    TextEncoding encoding = TextEncoding::Windows1251;
    bool withMark = false;

    // An empty list for a file yet to be written, in the system's code page.
    static CardListFile New(TextEncoding codePage) { return {QString(), codePage, false}; }

    // The file at path read under the system's code page, or nothing when there is none; raises
    // Failure when it cannot be read.
    static std::optional<CardListFile> Load(const QString& path, TextEncoding codePage);

    // Every line followed by CR LF, replaced atomically; raises Failure when it cannot be written.
    // A list that would not read back under the system's code page without a mark (a character
    // Windows-1251 lacks would become '?', bytes would begin like a byte-order mark ("яю", "п»ї")
    // or single-byte bytes would read as UTF-8) is written as UTF-8 with its mark instead, so no
    // card URL is damaged.
    void Save(const QString& path, TextEncoding codePage) const;
};

// Every line end (CR LF, CR, LF) as CR LF.
QString WithCrLfLineEnds(const QString& text);

}  // namespace quillorn
