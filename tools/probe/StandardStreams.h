// The probe's standard streams carry bytes as they are: a body printed with --stream, a JSON text
// read from standard input and every line feed pass unchanged (Windows would otherwise turn LF into
// CR LF on the way out and stop reading input at a Ctrl+Z byte).
#pragma once

namespace quillorn::probe {

void UseBinaryStandardStreams();

}  // namespace quillorn::probe
