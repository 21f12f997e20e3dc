#include "content/motions.h"

#include <cmath>

#include "effects/effect_textures.h"
#include "scene/animator.h"
#include "scene/node.h"

double sineAmount(double t, double amplitude, double rate, double phase) {
    return amplitude * sin(t * rate / 1000.0 + phase);
}

double linearAmount(double t, double speed) {
    return t * speed / 1000.0;
}

double easeOutAmount(double t, double distance, double rate) {
    return distance * (1.0 - exp(t / 1000.0 * rate));
}

// Axis 0, 1, 2 is x, y, z; any other axis moves nothing.
static bool axisVector(int32_t axis, double amount, double v[3]) {
    if (axis < 0 || axis > 2) return false;
    v[0] = v[1] = v[2] = 0.0;
    v[axis] = amount;
    return true;
}

static void addOffsetPosition(double amount) {
    double v[3];
    if (axisVector(currentTrack->intParam1, amount, v)) currentTrack->target->addPosition(v[0], v[1], v[2]);
}

static void addOffsetRotation(double amount) {
    double v[3];
    if (axisVector(currentTrack->intParam1, amount, v)) currentTrack->target->addRotation(v[0], v[1], v[2]);
}

void sinePosition(int32_t) {
    const AnimTrack* t = currentTrack;
    addOffsetPosition(sineAmount(t->elapsed, t->realParam1, t->realParam2, t->realParam3));
}

void linearPosition(int32_t) {
    addOffsetPosition(linearAmount(currentTrack->elapsed, currentTrack->realParam1));
}

void easeOutPosition(int32_t) {
    addOffsetPosition(
        easeOutAmount(currentTrack->elapsed, currentTrack->realParam1, currentTrack->realParam2));
}

void sineRotation(int32_t) {
    const AnimTrack* t = currentTrack;
    addOffsetRotation(sineAmount(t->elapsed, t->realParam1, t->realParam2, t->realParam3));
}

void timedRemoval(int32_t) {
    if (currentTrack->elapsed > currentTrack->realParam1) currentNode->markDying();
}

// The effect textures take one step per 30 ms of track time, at most one upload a frame. A frame of
// several steps' length runs them all, so the fire burns at nearly the same speed at any frame
// rate; what is left over is dropped rather than banked, so a stall is never paid back in a burst
// and nothing runs fast when the rate rises again.
static const int32_t effectStepMs = 30;
static const int32_t effectStepsAtMost = 8;

void effectTrackCallback(int32_t) {
    if (currentTrack->elapsed <= 0.0) return;
    int32_t steps = (int32_t)(currentTrack->elapsed / effectStepMs);
    if (steps < 1) steps = 1;
    if (steps > effectStepsAtMost) steps = effectStepsAtMost;
    currentTrack->elapsed -= steps * effectStepMs;
    if (currentTrack->elapsed > 0.0) currentTrack->elapsed = 0.0;
    effectTextures.updateEffectTextures(steps);
}
