#include "platform/heap_trim.h"

#include <malloc.h>

void returnFreeHeap() {
    _heapmin();
}

// The Windows heap gives large blocks their own pages already.
void settleHeap() {}
