#pragma once
// A headless OpenGL context (EGL pbuffer) for tests, tools and benchmarks. No X server is needed:
// Mesa's surfaceless platform where there is one, else the driver's default EGL display (NVIDIA).
// One context at a time; it is made current on the calling thread.

// defaultDisplayOnly skips the surfaceless platform (to try the other path on Mesa).
bool openOffscreenGl(int width, int height, bool defaultDisplayOnly = false);
// "surfaceless" or "default": the EGL display of the open context; "none" when none is open.
const char* offscreenGlDisplay();
void closeOffscreenGl();
