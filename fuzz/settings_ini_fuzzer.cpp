// Arbitrary bytes as settings.ini: the options read from it, and any others, survive a save and a
// second reading; a save keeps the file's encoding and every key Quillorn does not own.
#include "fuzz/FuzzTarget.h"
#include "fuzz/SettingsIniHarness.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckSettingsIni)
