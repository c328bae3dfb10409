// The system's code page: the encoding of the log file, and of urls.txt, IdsDB.dat and proxy.txt
// when they carry no byte-order mark (new ones are written in it too). Quillorn knows two:
// - UTF-8, where the system's character set is UTF-8 or plain ASCII (the C and POSIX locales, whose
//   text is a part of UTF-8; Qt reads and writes local text there as UTF-8 as well, so a
//   scheduled run under C and the window under ru_RU.UTF-8 agree on the same files);
// - Windows-1251 for every other character set (CP1251, KOI8-R, ISO-8859-5, ...): the single-byte
//   code page the files brought over from Windows are in, and what Quillorn used before it asked
//   the system at all.
// On Linux the character set is the locale's (nl_langinfo(CODESET)), so the program must have set
// its locale (QCoreApplication does) before it asks. On Windows it is the ANSI code page (GetACP():
// 1251 on a Russian system, 65001 where the user chose UTF-8 for programs without Unicode support).
#pragma once

#include <QByteArrayView>

#include "platform/TextEncoding.h"

namespace quillorn {

// TextEncoding::Utf8 or TextEncoding::Windows1251, as the list above says.
TextEncoding SystemCodePage();

// The code page that stands for a character set named as the C library names it ("UTF-8",
// "ANSI_X3.4-1968", "CP1251", "KOI8-R"); letter case, '-' and '_' do not matter.
TextEncoding CodePageOfCharset(QByteArrayView charset);

// The code page that stands for a Windows code page number: 65001 (UTF-8) and 20127 (US-ASCII)
// are UTF-8, every other (1251, 866, 1252, ...) is Windows-1251.
TextEncoding CodePageOfWindowsCodePage(unsigned int number);

}  // namespace quillorn
