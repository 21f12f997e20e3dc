#pragma once
#include <cstdint>

#include "scene/animator.h"

struct SceneNode;

// Every node of the scene gets its tracks the same way: one new state holding them all, run at once.

AnimTrack actionTrack(TrackCallback callback, int32_t arg, double duration);
AnimTrack axisTrack(TrackCallback callback, int32_t intParam1, double r1, double r2, double r3,
                    double duration);
AnimTrack realTrack(TrackCallback callback, double r1, double r2, double r3, double duration);
AnimTrack pairTrack(TrackCallback callback, int32_t intParam1, int32_t intParam2, double duration);

void giveTracks(SceneNode* node, const AnimTrack* tracks, int32_t count);
void giveTrack(SceneNode* node, const AnimTrack& track);

// A fresh node with the model entryName of pakName, or without a model when entryName is null.
SceneNode* newModelNode(const char* pakName, const char* entryName);
