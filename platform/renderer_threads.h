#pragma once

// Before the GL context is made: where a processor budget is in force and the user has not chosen
// (LP_NUM_THREADS), tells a software renderer to draw on the calling thread alone. Its rasteriser
// threads cost processor time of their own, which a budget pays for in frames. Affects nothing
// but Mesa's llvmpipe.
void chooseRendererThreads(bool budgetInForce);
