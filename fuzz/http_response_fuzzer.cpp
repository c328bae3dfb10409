// Arbitrary bytes as a server's answer, read and decoded as the client reads a response.
#include <cstddef>
#include <cstdint>

#include "fuzz/HttpResponseHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillorn::fuzz::ReadResponses(data, size);
    return 0;
}
