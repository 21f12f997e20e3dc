#include "platform/heap_trim.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreeHeap() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
