#include "platform/renderer_threads.h"

#include <cstdlib>

// At a budget, no rasteriser threads gave the cheapest frame on llvmpipe, on a quiet machine and a
// loaded one alike. Without a budget only wall time counts, so its own threads stay.
void chooseRendererThreads(bool budgetInForce) {
    if (budgetInForce) setenv("LP_NUM_THREADS", "0", 0);
}
