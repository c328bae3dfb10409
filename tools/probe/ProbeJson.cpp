// quillorn-probe json [PATH]: parses standard input (UTF-8) with the program's own JSON model and
// prints the text form of the result, or of the value at PATH, or "nothing".
#include <cstdio>

#include "json/SuperObject.h"
#include "tools/probe/ProbeCommand.h"

namespace quillorn::probe {
namespace {

int RunJson(const QStringList& args) {
    if (args.size() > 1) {
        std::fprintf(stderr, "usage: quillorn-probe json [PATH]\n");
        return 2;
    }
    QByteArray input = ReadStandardInput();
    if (std::ferror(stdin)) {
        std::fprintf(stderr, "cannot read standard input\n");
        return 1;
    }
    // A saved page often starts with a byte-order mark; it is no part of the JSON.
    if (input.startsWith("\xEF\xBB\xBF"))
        input.remove(0, 3);

    ISuperObject node = ParseString(QString::fromUtf8(input));
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
