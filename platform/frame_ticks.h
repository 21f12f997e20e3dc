#pragma once
#include <cstdint>

extern uint32_t frameTicks;  // SDL_GetTicks() at the start of the frame; the only animation clock
