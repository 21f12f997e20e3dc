#include "platform/heap_trim.h"

#include <stdlib.h>  // for __GLIBC__: without a C library header first, the tests below never pass

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreeHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void keepLargeBlocksOffHeap() {
#if defined(__GLIBC__)
    // glibc's own starting bound, but fixed: by default every large block freed raises it (up to
    // 32 MiB), after which start-up's big buffers are carved from the heap and their holes stay
    // resident (4.8 MiB at 3840x2160).
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
