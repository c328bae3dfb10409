// quillorn-probe card: reads a saved card page (UTF-8) from standard input with the program's own
// card page reader and prints what a run would take from it, one "name<TAB>value" line each:
// key, branch, name, city, address, rating (with this machine's decimal separator) and count.
// Tabs and line breaks inside a value are shown as \t, \r and \n so every field stays on its line.
// A page the reader refuses prints the reason on standard error and exits 1.
#include <cstdio>

#include "harvest/CardPageReader.h"
#include "platform/Errors.h"
#include "platform/LocaleServices.h"
#include "tools/probe/ProbeCommand.h"

namespace quillorn::probe {
namespace {

QByteArray Field(const char* name, QString value) {
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(u'\t', QStringLiteral("\\t"));
    value.replace(u'\r', QStringLiteral("\\r"));
    value.replace(u'\n', QStringLiteral("\\n"));
    return QByteArray(name) + '\t' + value.toUtf8() + '\n';
}

int RunCard(const QStringList& args) {
    if (!args.isEmpty()) {
        std::fprintf(stderr, "usage: quillorn-probe card < page.html\n");
        return 2;
    }
    const std::optional<QString> input = ReadStandardInputText();
    if (!input)
        return 1;

    CardPage card;
    try {
        card = CardPageReader(SystemLocale().DecimalSeparator()).Read(*input);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.Message().toUtf8().constData());
        return 1;
    }
    const CardProfile& profile = card.Profile;
    const QByteArray output = Field("key", card.ReviewApiKey) + Field("branch", profile.BranchId) +
                              Field("name", profile.FirmName) + Field("city", profile.City) +
                              Field("address", profile.Address) + Field("rating", profile.Rating) +
                              Field("count", profile.RatingCount);
    const bool written =
        std::fwrite(output.constData(), 1, size_t(output.size()), stdout) == size_t(output.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterProbeCommand registered({"card", "< PAGE", RunCard});

}  // namespace
}  // namespace quillorn::probe
