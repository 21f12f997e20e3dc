#pragma once
#include <cstdint>

// The five point lights (scene light n is GL_LIGHT0 + n), their placement, the flame flicker and
// the draw callbacks that switch GL state around particular nodes.

int32_t randomBelow(int32_t n);  // rand() % n

void setUpLights();

// Track callbacks.
void placeLight(int32_t arg);     // intParam1: light 1 to 5
void flickerLights(int32_t arg);  // steps while elapsed > 0

// Draw callbacks (phase 1 to 4).
void switchLight5(int32_t phase, int32_t value);
void switchLights1to4(int32_t phase, int32_t value);
void drawUnlit(int32_t phase, int32_t value);
void drawBillboarded(int32_t phase, int32_t value);
void drawWithoutDepthTest(int32_t phase, int32_t value);

// The band one flickering light's quadratic attenuation wanders in; single precision like the
// value itself, so a value can sit exactly on a bound.
struct FlickerBand {
    float low;
    float high;
    float up;
    float down;
    float wander;
};

extern const FlickerBand flickerBands[3];  // lights 2, 3, 4
extern float flickerValues[3];             // lights 2, 3, 4; start at 0.02, 0.035, 0.02

// One step of a light's walk, drawing one or two numbers from randomBelow.
float stepFlicker(float value, const FlickerBand& band);
// Steps lights 2, 3, 4 in order and hands each new value to GL.
void stepFlickerLights();
// Zeroes the upper-left 3x3 of a column-major matrix: the model then faces the viewer.
void billboardMatrix(double matrix[16]);
