#pragma once

// Hands heap pages that are free again back to the system. Start-up frees more than a frame ever
// holds (decoded pictures, the renderer's first copies of textures); the allocator keeps it unless
// asked.
void returnFreeHeap();
