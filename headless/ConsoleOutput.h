// Makes the console show what quillorn-harvest writes: its log, help and progress line are UTF-8
// (Cyrillic), and the progress line redraws itself with terminal control sequences. A terminal on
// Linux already takes both; the Windows console is told so. Call first thing in main.
#pragma once

namespace quillorn {

void PrepareConsoleOutput();

}  // namespace quillorn
