// quillorn-probe json [PATH]: parses standard input (UTF-8) with the program's own JSON model and
// prints the text form of the result, or of the value at PATH, or "nothing".
#include <cstdio>

#include "json/JsonValue.h"
#include "tools/probe/ProbeCommand.h"

namespace quillorn::probe {
namespace {

int RunJson(const QStringList& args) {
    if (args.size() > 1) {
        std::fprintf(stderr, "usage: quillorn-probe json [PATH]\n");
        return 2;
    }
    const std::optional<QString> input = ReadStandardInputText();
    if (!input)
        return 1;

    JsonValuePtr node = ParseJson(*input);
    if (node && !args.isEmpty())
        node = node->Lookup(args.front());
    const QByteArray output = node ? node->AsString().toUtf8() + '\n' : QByteArray("nothing\n");
    const bool written =
        std::fwrite(output.constData(), 1, size_t(output.size()), stdout) == size_t(output.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}

const RegisterProbeCommand registered({"json", "[PATH]", RunJson});

}  // namespace
}  // namespace quillorn::probe
