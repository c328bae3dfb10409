// Reading a number as the C locale does, whatever locale the process or thread has taken: the one
// place the JSON reader asks the C library, for the numbers std::from_chars gives up on.
#pragma once

namespace quillorn {

// The double that strtod in the C locale reads at the start of text (a NUL-terminated ASCII
// number): for a value beyond the range of a double, infinity or zero with its sign, as the C
// library rounds it.
double ClassicStrtod(const char* text);

}  // namespace quillorn
