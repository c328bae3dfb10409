#include "tools/probe/StandardStreams.h"

namespace quillorn::probe {

// POSIX streams carry bytes unchanged already.
void UseBinaryStandardStreams() {}

}  // namespace quillorn::probe
