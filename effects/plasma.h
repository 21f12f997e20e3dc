#pragma once
#include <cstdint>

// userData: three bytes, the red, green and blue bias.
void plasmaGenerator(int32_t time, int32_t width, int32_t height, uint8_t* pixels, void* userData);
