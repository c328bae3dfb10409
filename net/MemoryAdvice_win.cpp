#include "net/MemoryAdvice.h"

namespace quillorn {

// Windows gives large pages only to memory allocated for them (VirtualAlloc with MEM_LARGE_PAGES,
// which needs the lock-pages privilege); a buffer that is already allocated cannot be advised, so
// the body is written with ordinary pages.
void AdviseLargeRegion(char* /*begin*/, qsizetype /*size*/) {}

}  // namespace quillorn
