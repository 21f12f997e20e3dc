#pragma once

// Hands heap pages that are free again back to the system. Start-up frees more than a frame ever
// holds (decoded pictures, the renderer's first copies of textures); the allocator keeps it unless
// asked.
void returnFreeHeap();

// Before start-up: large blocks (texture levels, the renderer's staging buffers) come straight
// from the system and go straight back when freed, instead of leaving holes in the heap.
void keepLargeBlocksOffHeap();
