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

void settleHeap() {
#if defined(__GLIBC__)
    // Setting the threshold also stops glibc raising it to the size of each large block freed,
    // after which blocks of up to that size would come from the heap and fragment it.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
#endif
}
