// A harvest without a window, for servers and schedules: the same run as the window's start
// button, over the same files of one folder, with the log on standard output and the outcome as
// the exit status. Termination signals stop it as the stop button does, also abandoning the
// request in progress; --repeat runs it again after each end until it is stopped.
#pragma once

#include "headless/HarvestOptions.h"

namespace quillorn {

enum class ExitStatus : int {
    Done = 0,        // a normal end, also when nothing new was found
    Failed = 1,      // the run failed, or a card failed all its attempts; standard error says why
    NotStarted = 2,  // refused start, empty card list, unreadable folder, folder in use (with
                     // --repeat: at the first run; a later one waits for the next interval)
    Stopped = 130,   // ended by a termination signal
};

// Needs a QCoreApplication; main has called CatchTerminationSignals. Everything the user must see
// goes to standard output (the log) or standard error (refusals, warnings, errors).
ExitStatus RunHeadlessHarvest(const HarvestOptions& options);

}  // namespace quillorn
