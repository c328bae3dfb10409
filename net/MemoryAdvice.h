// Hints to the system about how a large buffer is about to be used, where the system takes them.
#pragma once

#include <QtGlobal>

namespace quillorn {

// The region [begin, begin + size) is about to be written once from front to back.
void AdviseLargeRegion(char* begin, qsizetype size);

}  // namespace quillorn
