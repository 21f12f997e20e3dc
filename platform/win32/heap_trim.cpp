#include "platform/heap_trim.h"

#include <malloc.h>

void returnFreeHeap() {
    _heapmin();
}
