#include "platform/heap_trim.h"

#include <malloc.h>

void returnFreeHeap() {
    _heapmin();
}

// The Windows heap already gives large blocks their own mappings.
void keepLargeBlocksOffHeap() {}
