// Arbitrary pages through the card page reader: a branch id or Failure, never a crash or a hang.
#include "fuzz/CardPageHarness.h"
#include "fuzz/FuzzTarget.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckCardPage)
