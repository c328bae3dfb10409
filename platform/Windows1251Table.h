// The Windows-1251 code page as a table, taken from the system's own converter so that no table is
// written by hand; TextEncoding builds both directions of its conversions from it.
#pragma once

#include <array>

namespace quillorn {

// The UTF-16 code unit of every byte. The one byte the code page leaves undefined (0x98) maps to
// the same code unit, as Windows does, so that every byte survives a round trip.
std::array<char16_t, 256> Windows1251CodeUnits();

}  // namespace quillorn
