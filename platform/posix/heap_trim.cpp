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
