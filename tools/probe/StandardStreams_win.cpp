#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <initializer_list>

#include "tools/probe/StandardStreams.h"

namespace quillorn::probe {

void UseBinaryStandardStreams() {
    for (std::FILE* stream : {stdin, stdout, stderr})
        _setmode(_fileno(stream), _O_BINARY);
}

}  // namespace quillorn::probe
