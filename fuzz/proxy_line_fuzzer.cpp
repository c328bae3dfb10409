// Arbitrary bytes as proxy.txt: whatever a user writes there, the run takes a trimmed first line
// apart without losing any of it, converts the port as the C library would or refuses it with the
// conversion's message, and never logs more than five characters of the password.
#include "fuzz/FuzzTarget.h"
#include "fuzz/ProxyFileHarness.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckProxyFile)
