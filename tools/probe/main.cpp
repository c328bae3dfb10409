// quillorn-probe: a maintainer's tool for finding out why a card comes out wrong, over the same
// library as the program.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <cstring>

#include "tools/probe/ProbeCommand.h"
#include "tools/probe/StandardStreams.h"

namespace quillorn::probe {

std::vector<ProbeCommand>& ProbeCommands() {
    static std::vector<ProbeCommand> commands;
    return commands;
}

std::optional<QString> ReadStandardInputText() {
    QByteArray bytes;
    char chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, stdin);
        bytes.append(chunk, qsizetype(got));
        if (got < sizeof chunk)
            break;
    }
    if (std::ferror(stdin)) {
        std::fprintf(stderr, "cannot read standard input\n");
        return std::nullopt;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

}  // namespace quillorn::probe

int main(int argc, char* argv[]) {
    quillorn::probe::UseBinaryStandardStreams();
    QCoreApplication app(argc, argv);
    using quillorn::probe::ProbeCommands;
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty()) {
        for (const auto& command : ProbeCommands()) {
            if (args.front() == QLatin1String(command.name))
                return command.run(args.mid(1));
        }
    }
    std::fprintf(stderr, "usage:\n");
    for (const auto& command : ProbeCommands())
        std::fprintf(stderr, "  quillorn-probe %s %s\n", command.name, command.usage);
    return 2;
}
