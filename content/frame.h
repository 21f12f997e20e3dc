#pragma once
#include <cstdint>

struct SceneNode;

// Called at the frame's boundaries: 0 before the main scene, 1 after it, 2 after the overlay and
// 3 after the transparent meshes drawn last (the benchmark times the parts between them).
typedef void (*FrameMark)(int32_t mark, void* data);

// One frame at `ticks`: clears, sets the eye, draws the main scene, the overlay and the meshes
// held back to be drawn last. A missing root is skipped; `mark` may be null. Does not swap.
void drawFrame(SceneNode* scene, SceneNode* overlay, uint32_t ticks, FrameMark mark, void* markData);

// Destroys and frees a root (if any) and clears the pointer.
void freeRoot(SceneNode** root);
