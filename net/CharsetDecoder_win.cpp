#include "net/CharsetDecoder.h"

#include <windows.h>

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <string_view>

namespace quillorn {
namespace {

struct NamedCodePage {
    std::string_view name;
    UINT codePage;
};

// The names responses use for the charsets Windows has a code page for (Qt is built without ICU
// here, so it cannot decode them itself).
constexpr std::array kCodePages{
    NamedCodePage{"windows-1250", 1250},  NamedCodePage{"windows-1251", 1251},
    NamedCodePage{"windows-1252", 1252},  NamedCodePage{"windows-1253", 1253},
    NamedCodePage{"windows-1254", 1254},  NamedCodePage{"windows-1255", 1255},
    NamedCodePage{"windows-1256", 1256},  NamedCodePage{"windows-1257", 1257},
    NamedCodePage{"windows-1258", 1258},  NamedCodePage{"windows-874", 874},
    NamedCodePage{"x-cp1251", 1251},      NamedCodePage{"koi8-r", 20866},
    NamedCodePage{"koi8r", 20866},        NamedCodePage{"cskoi8r", 20866},
    NamedCodePage{"koi8-u", 21866},       NamedCodePage{"koi8-ru", 21866},
    NamedCodePage{"ibm866", 866},         NamedCodePage{"csibm866", 866},
    NamedCodePage{"ibm855", 855},         NamedCodePage{"ibm437", 437},
    NamedCodePage{"ibm850", 850},         NamedCodePage{"x-mac-cyrillic", 10007},
    NamedCodePage{"mac-cyrillic", 10007}, NamedCodePage{"maccyrillic", 10007},
    NamedCodePage{"macintosh", 10000},    NamedCodePage{"macroman", 10000},
    NamedCodePage{"tis-620", 874},        NamedCodePage{"ascii", 20127},
    NamedCodePage{"shift_jis", 932},      NamedCodePage{"shift-jis", 932},
    NamedCodePage{"sjis", 932},           NamedCodePage{"ms_kanji", 932},
    NamedCodePage{"csshiftjis", 932},     NamedCodePage{"windows-31j", 932},
    NamedCodePage{"euc-jp", 20932},       NamedCodePage{"iso-2022-jp", 50220},
    NamedCodePage{"gb2312", 936},         NamedCodePage{"gbk", 936},
    NamedCodePage{"x-gbk", 936},          NamedCodePage{"euc-cn", 936},
    NamedCodePage{"gb18030", 54936},      NamedCodePage{"big5", 950},
    NamedCodePage{"big5-hkscs", 950},     NamedCodePage{"euc-kr", 949},
    NamedCodePage{"ks_c_5601-1987", 949}, NamedCodePage{"utf-7", 65000},
};

// The ISO 8859 parts as code pages 28591-28605: "iso-8859-5", "iso8859-5", "iso_8859-5".
UINT IsoCodePage(std::string_view name) {
    for (const std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-"}) {
        if (name.substr(0, prefix.size()) != prefix)
            continue;
        const std::string_view part = name.substr(prefix.size());
        int number = 0;
        for (const char c : part) {
            if (c < '0' || c > '9' || number > 99)
                return 0;
            number = number * 10 + (c - '0');
        }
        return !part.empty() && number >= 1 && number <= 16 ? 28590 + number : 0;
    }
    return 0;
}

UINT CodePageOf(const QByteArray& name) {
    const std::string_view text(name.constData(), static_cast<size_t>(name.size()));
    if (const UINT iso = IsoCodePage(text))
        return iso;
    // "cp1251", "cp866", "cp932": the code page's own number.
    if (text.size() > 2 && text.substr(0, 2) == "cp") {
        bool ok = false;
        const int number = name.mid(2).toInt(&ok);
        if (ok && number > 0 && number < 65000)
            return static_cast<UINT>(number);
    }
    for (const NamedCodePage& entry : kCodePages) {
        if (entry.name == text)
            return entry.codePage;
    }
    return 0;
}

// Code pages that refuse MB_ERR_INVALID_CHARS: they decode with their own replacement.
bool TakesNoErrorFlag(UINT codePage) {
    return codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
           (codePage >= 57002 && codePage <= 57011) || codePage == 65000;
}

// bytes decoded strictly; false when the code page does not map them all.
bool DecodeStrictly(UINT codePage, const char* bytes, int size, QString& out) {
    const DWORD flags = TakesNoErrorFlag(codePage) ? 0 : MB_ERR_INVALID_CHARS;
    const int length = MultiByteToWideChar(codePage, flags, bytes, size, nullptr, 0);
    if (length <= 0)
        return false;
    const qsizetype at = out.size();
    out.resize(at + length);
    MultiByteToWideChar(codePage, flags, bytes, size, reinterpret_cast<wchar_t*>(out.data() + at),
                        length);
    return true;
}

// One character at a time, the shortest byte sequence that decodes; a byte that starts none
// becomes U+FFFD.
QString DecodeWithReplacement(UINT codePage, const QByteArray& body, int longest) {
    QString text;
    text.reserve(body.size());
    qsizetype at = 0;
    while (at < body.size()) {
        const int left = static_cast<int>(std::min<qsizetype>(longest, body.size() - at));
        int taken = 0;
        for (int length = 1; length <= left && !taken; ++length) {
            if (DecodeStrictly(codePage, body.constData() + at, length, text))
                taken = length;
        }
        if (!taken) {
            text += QChar(QChar::ReplacementCharacter);
            taken = 1;
        }
        at += taken;
    }
    return text;
}

// The Windows code pages (874, 1250-1258) fill 0x80-0x9F with printable characters; Windows
// decodes the few positions they leave empty as the C1 control of the same number, although they
// map nothing.
bool LeavesPositionsEmpty(UINT codePage) {
    return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

void ReplaceEmptyPositions(QString& text) {
    for (QChar& c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = QChar(QChar::ReplacementCharacter);
    }
}

std::optional<QString> DecodeCodePage(UINT codePage, const QByteArray& body) {
    CPINFO info{};
    if (!IsValidCodePage(codePage) || !GetCPInfo(codePage, &info))
        return std::nullopt;
    QString text;
    if (!body.isEmpty() &&
        !DecodeStrictly(codePage, body.constData(), static_cast<int>(body.size()), text))
        text = DecodeWithReplacement(codePage, body,
                                     static_cast<int>(std::max<UINT>(1, info.MaxCharSize)));
    if (LeavesPositionsEmpty(codePage))
        ReplaceEmptyPositions(text);
    return text;
}

// UTF-16 and UTF-32: "utf-16" reads its byte-order mark (the machine's order, little-endian,
// without one, and the mark is no character); the names with an order keep a mark as U+FEFF.
std::optional<QString> DecodeUnicode(const QByteArray& name, const QByteArray& body) {
    const bool utf16 = name.startsWith("utf-16");
    const bool utf32 = name.startsWith("utf-32");
    if (!utf16 && !utf32)
        return std::nullopt;
    const QByteArray order = name.mid(6);
    QByteArray bytes = body;
    bool little = order == "le";
    if (order.isEmpty()) {
        const QByteArray littleMark =
            utf16 ? QByteArray("\xFF\xFE") : QByteArray("\xFF\xFE\0\0", 4);
        const QByteArray bigMark = utf16 ? QByteArray("\xFE\xFF") : QByteArray("\0\0\xFE\xFF", 4);
        little = !bytes.startsWith(bigMark);
        if (bytes.startsWith(littleMark) || bytes.startsWith(bigMark))
            bytes.remove(0, littleMark.size());
    } else if (order != "le" && order != "be") {
        return std::nullopt;
    }
    const auto encoding = utf16 ? (little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE)
                                : (little ? QStringConverter::Utf32LE : QStringConverter::Utf32BE);
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

}  // namespace

std::optional<QString> DecodeWithSystemConverter(const QByteArray& name, const QByteArray& body) {
    if (auto text = DecodeUnicode(name, body))
        return text;
    const UINT codePage = CodePageOf(name);
    if (codePage == 0)
        return std::nullopt;
    return DecodeCodePage(codePage, body);
}

}  // namespace quillorn
