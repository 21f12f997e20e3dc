#pragma once
#include <string>

// What the drawing-free GL of the soak holds: live texture objects and the bytes of their pixels.
int nullGlTextureCount();
long nullGlTextureBytes();

// The archives' folder for the programs that draw through it: LUMIVANE_PATH or LUMIVANE_BUILD_DIR,
// else the build folder above the program's (they live in its bench/).
std::string nullGlArchiveFolder();
