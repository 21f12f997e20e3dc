#pragma once
#include <cstdint>

// Every 5 seconds of track time, the mean frame rate of the window as up to three digits from
// "utils.pak", to the right of the "fps" label; each set removes itself after 5 seconds.

// Frames counted since the last readout.
extern int32_t fpsFrames;

void updateFrameRate(int32_t arg);  // track callback on the frame-rate node

// The digits of frames / 5 (the rate over a 5-second window), units first, without leading
// zeros and at most three; returns how many.
int32_t frameRateDigits(int32_t frames, int32_t digits[3]);
