#pragma once

// What the drawing-free GL of the soak holds: live texture objects and the bytes of their pixels.
int nullGlTextureCount();
long nullGlTextureBytes();
