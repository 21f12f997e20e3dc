#pragma once

// Hands heap pages that are free again back to the system. Start-up frees more than a frame ever
// holds (decoded pictures, the renderer's first copies of textures); the allocator keeps it unless
// asked.
void returnFreeHeap();

// For a run of hours: large blocks (a picture being decoded, an archive's entry, the renderer's
// buffers) get pages of their own, given back when freed, rather than leaving holes in the heap,
// and free pages at the heap's top go back past 1 MiB. Call before the first large allocation.
void settleHeap();
