// The probe's sub-commands. Each lives in a file of its own and registers itself here, so adding a
// command never touches the dispatcher.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quillorn::probe {

struct ProbeCommand {
    const char* name;
    const char* usage;                    // arguments after the name, for the help text
    int (*run)(const QStringList& args);  // args after the name; returns the exit code
};

std::vector<ProbeCommand>& ProbeCommands();

// All of standard input as UTF-8 text, a leading byte-order mark dropped (a saved page often starts
// with one, and it is no part of the page). Nothing, after saying so on standard error, when
// standard input cannot be read.
std::optional<QString> ReadStandardInputText();

struct RegisterProbeCommand {
    explicit RegisterProbeCommand(ProbeCommand command) { ProbeCommands().push_back(command); }
};

}  // namespace quillorn::probe
