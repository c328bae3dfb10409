// Arbitrary text through the JSON parser and every query and text form of the tree it gives.
#include "fuzz/FuzzTarget.h"
#include "fuzz/JsonHarness.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckJson)
