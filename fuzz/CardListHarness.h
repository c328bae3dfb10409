// urls.txt as a file the user may have edited, and the card list as the user may have typed it,
// each saved and read back the way the window does on closing and on its next start. Shared by the
// fuzz target and the test that replays its saved inputs.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <optional>

#include "frontend/CardListFile.h"
#include "fuzz/FuzzTarget.h"
#include "fuzz/ScratchFolder.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"

namespace quillorn::fuzz {

inline QString CardListPath() {
    return QDir(ScratchFolder().path()).filePath(QStringLiteral("urls.txt"));
}

inline QString EncodingName(TextEncoding encoding, bool mark) {
    static const char* const kNames[] = {"UTF-8", "UTF-16LE", "UTF-16BE", "Windows-1251"};
    return QLatin1String(kNames[static_cast<int>(encoding)]) +
           (mark ? QStringLiteral(" with its mark") : QString());
}

// Every CR of text is followed by LF and every LF follows a CR.
inline bool OnlyCrLfLineEnds(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool cr = text[i] == u'\r';
        const bool next = i + 1 < text.size() && text[i + 1] == u'\n';
        const bool previous = i > 0 && text[i - 1] == u'\r';
        if ((cr && !next) || (text[i] == u'\n' && !previous))
            return false;
    }
    return true;
}

// Saves list and reads it back under the code page; the text must come back whole, in the list's
// encoding, or in UTF-8 with its mark where the file without a mark would not carry the text.
inline QString CheckSavedList(const CardListFile& list, TextEncoding codePage) {
    std::optional<CardListFile> back;
    try {
        list.Save(CardListPath(), codePage);
        back = CardListFile::Load(CardListPath(), codePage);
    } catch (const Error& error) {
        return QStringLiteral("the scratch urls.txt failed: ") + error.Message();
    }
    if (!back)
        return QStringLiteral("the saved urls.txt is missing");
    if (!OnlyCrLfLineEnds(back->text))
        return QStringLiteral("line ends other than CR LF in ") + Shown(back->text);
    if (back->text != WithCrLfLineEnds(list.text))
        return QStringLiteral("%1 saved in %2 reads back as %3 in %4")
            .arg(Shown(list.text), EncodingName(list.encoding, list.withMark), Shown(back->text),
                 EncodingName(back->encoding, back->withMark));
    const bool same = back->encoding == list.encoding && back->withMark == list.withMark;
    const bool widened = !list.withMark && back->encoding == TextEncoding::Utf8 && back->withMark;
    // Windows-1251 bytes that are all ASCII are UTF-8 as well.
    const bool alsoUtf8 = list.encoding == TextEncoding::Windows1251 &&
                          codePage == TextEncoding::Utf8 && back->encoding == TextEncoding::Utf8 &&
                          !back->withMark;
    if (!same && !widened && !alsoUtf8)
        return QStringLiteral("saved in %1, read back in %2")
            .arg(EncodingName(list.encoding, list.withMark),
                 EncodingName(back->encoding, back->withMark));
    return {};
}

// The first byte chooses: even, the rest is urls.txt as found on disk, which must save and read
// back to the same list; odd, the rest is the list as typed (UTF-8), saved as a new list (bits 1-2
// zero) or in the encoding of bits 1-2 with its mark, as the window saves a list read in that
// encoding. Bit 3 chooses the system's code page: Windows-1251 or UTF-8.
inline QString CheckCardList(const QByteArray& input) {
    if (input.isEmpty())
        return {};
    const TextEncoding codePage =
        (input[0] & 8) != 0 ? TextEncoding::Utf8 : TextEncoding::Windows1251;
    const QByteArray rest = input.mid(1);
    if ((input[0] & 1) == 0) {
        if (!WriteScratchFile(QStringLiteral("urls.txt"), rest))
            return QStringLiteral("cannot write the scratch urls.txt");
        std::optional<CardListFile> read;
        try {
            read = CardListFile::Load(CardListPath(), codePage);
        } catch (const Failure& failure) {
            return QStringLiteral("a readable urls.txt failed: ") + failure.Message();
        }
        if (!read)
            return QStringLiteral("urls.txt not read");
        return CheckSavedList(*read, codePage);
    }
    static const TextEncoding kMarked[] = {TextEncoding::Utf8, TextEncoding::Utf16LE,
                                           TextEncoding::Utf16BE};
    const int choice = (input[0] >> 1) & 3;
    CardListFile typed = CardListFile::New(codePage);
    if (choice != 0) {
        typed.encoding = kMarked[choice - 1];
        typed.withMark = true;
    }
    typed.text = QString::fromUtf8(rest);
    return CheckSavedList(typed, codePage);
}

}  // namespace quillorn::fuzz
