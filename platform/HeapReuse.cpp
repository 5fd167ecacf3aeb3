#include "platform/HeapReuse.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qoxa::platform {

// glibc maps every block above 32 MB separately and unmaps it at free, so each big text (a
// conversion, a formatted or compacted copy, a document's tables) lands on fresh pages, and the
// kernel's fault and clearing of each fresh page costs more than the work then done on it: a
// chain of three replacements over a 200 MB text spent half its time there. Serving large blocks
// from the heap and never trimming it by itself lets the next text reuse the pages; the memory is
// given back on request (ReturnFreedMemory) or when the program ends.
void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, -1);  // never give the heap's top back by itself
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace qoxa::platform
