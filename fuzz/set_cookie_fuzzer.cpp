// Arbitrary Set-Cookie values in a server's answer: each reaches the client as a value of its own,
// whole and in order, and the cookie store keeps its bounds on what it holds and what a request
// carries.
#include "fuzz/FuzzTarget.h"
#include "fuzz/SetCookieHarness.h"

QUILLORN_FUZZ_TARGET(quillorn::fuzz::CheckSetCookies)
