// The probe's sub-commands. Each lives in a file of its own and registers itself here, so adding a
// command never touches the dispatcher.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace quillorn::probe {

struct ProbeCommand {
    const char* name;
    const char* usage;                    // arguments after the name, for the help text
    int (*run)(const QStringList& args);  // args after the name; returns the exit code
};

std::vector<ProbeCommand>& ProbeCommands();

// All of standard input, as bytes.
QByteArray ReadStandardInput();

struct RegisterProbeCommand {
    explicit RegisterProbeCommand(ProbeCommand command) { ProbeCommands().push_back(command); }
};

}  // namespace quillorn::probe
