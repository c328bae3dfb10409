// Arbitrary bytes as IdsDB.dat, with ids a run takes: under the users' Russian locale the store
// stays ordered and finds every id it holds, and what it saves loads back as the same set, so no
// review is delivered twice and none is forgotten.
#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTarget.h"
#include "fuzz/SeenStoreHarness.h"
#include "platform/LocaleServices.h"

namespace {

// Set before anything asks Qt for the system locale, which it reads once.
const quillorn::LocaleServices& RussianLocale() {
    static const quillorn::SystemLocale& locale = []() -> const quillorn::SystemLocale& {
        qputenv("LC_ALL", "ru_RU.UTF-8");
        static const quillorn::SystemLocale russian;
        if (QLocale::system().name() != QStringLiteral("ru_RU")) {
            std::fprintf(stderr, "the system locale is not ru_RU\n");
            std::abort();
        }
        return russian;
    }();
    return locale;
}

QString CheckUnderRussianLocale(const QByteArray& input) {
    return quillorn::fuzz::CheckSeenStore(input, RussianLocale());
}

}  // namespace

QUILLORN_FUZZ_TARGET(CheckUnderRussianLocale)
