// urls.txt, the card list as the user left it: read by byte-order mark (UTF-8, UTF-16) or else in
// the single-byte code page, and written back in the encoding it was read in, mark included.
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

    // The file at path, or nothing when there is none; raises Failure when it cannot be read.
    static std::optional<CardListFile> Load(const QString& path);

    // Every line followed by CR LF, replaced atomically; raises Failure when it cannot be written.
    // A list the single-byte code page cannot hold (a character it lacks would become '?'), or
    // whose bytes in it would begin like a byte-order mark ("яю", "п»ї"), is written as UTF-8 with
    // its mark instead, so no card URL is damaged.
    void Save(const QString& path) const;
};

// Every line end (CR LF, CR, LF) as CR LF.
QString WithCrLfLineEnds(const QString& text);

}  // namespace quillorn
