#pragma once
// A headless OpenGL context (Mesa, EGL surfaceless pbuffer) for tests, tools and benchmarks.
// No X server is needed. One context at a time; it is made current on the calling thread.

bool openOffscreenGl(int width, int height);
void closeOffscreenGl();
