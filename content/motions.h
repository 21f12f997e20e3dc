#pragma once
#include <cstdint>

// Track callbacks that move a node by a function of its track's elapsed time, or remove it when
// its time is up. They write the animator's offset, which is reset every frame.

void sinePosition(int32_t arg);     // axis; amplitude, rate (rad/s), phase
void linearPosition(int32_t arg);   // axis; speed (units/s)
void easeOutPosition(int32_t arg);  // axis; distance, rate (1/s, negative to approach)
void sineRotation(int32_t arg);     // axis; amplitude (degrees), rate (rad/s), phase
void timedRemoval(int32_t arg);     // delay (ms)

void effectTrackCallback(int32_t arg);  // regenerates the effect textures every 30 ms of track time

// The amounts, for elapsed time t in milliseconds.
double sineAmount(double t, double amplitude, double rate, double phase);
double linearAmount(double t, double speed);
double easeOutAmount(double t, double distance, double rate);
