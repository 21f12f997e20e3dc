#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/frame_ticks.h"
#include "scene/transform.h"

typedef void (*TrackCallback)(int32_t arg);

// A time-driven behaviour: the callback reads the track through currentTrack.
struct AnimTrack {
    NodeTransform* target;  // the holding animator's offset, set by addTrack
    double elapsed;         // the callback's clock (ms); callbacks may rewind it
    int32_t intParam1;
    int32_t intParam2;
    double realParam1;
    double realParam2;
    double realParam3;
    TrackCallback callback;
    int32_t callbackArg;
    int32_t id;
    bool enabled;
    bool endless;
    bool finished;
    double duration;  // ms, valid when not endless
    double lifetime;  // the animator's clock for the duration test

    AnimTrack();                                                         // all zero
    void initTrack(int32_t trackId, bool isEnabled, double durationMs);  // 0.0 = endless
    void setTrackAction(TrackCallback cb, int32_t arg);
    void setRealTrack(TrackCallback cb, double r1, double r2, double r3);
    void setAxisTrack(TrackCallback cb, int32_t i1, double r1, double r2, double r3);
    void setPairTrack(TrackCallback cb, int32_t i1, int32_t i2, double r1, double r2, double r3);
    void stepTrack(uint32_t dt);
    void enableTrack();
    void disableTrack();
    void finishTrack();
};

struct Animator {
    uint32_t lastTicks;
    uint32_t prevTicks;
    double timeScale;
    NodeTransform offset;  // reset every update, written by tracks, applied after the node's own
    std::vector<AnimTrack> tracks;

    void initAnimator();
    void destroyAnimator();
    void addTrack(const AnimTrack& track);
    void enableTracks(int32_t id);
    void disableTracks(int32_t id);
    void finishTracks(int32_t id);
    void updateAnimator();
};

enum { TRACK_DISABLE = 0, TRACK_ENABLE = 1, TRACK_FINISH = 2 };

// Prepared sets of tracks ("states"); running a state copies its tracks into the animator.
struct AnimScript {
    int32_t currentState;  // -1 before the first newState
    std::vector<int32_t> stateEnabled;
    std::vector<std::vector<AnimTrack>> stateTracks;
    std::vector<std::vector<std::pair<int32_t, int32_t>>> stateCommands;      // (track id, action)
    std::vector<std::vector<std::pair<AnimScript*, int32_t>>> stateTriggers;  // (script, state)
    Animator* scriptAnimator;

    void initScript(Animator* animator);
    void destroyScript();
    int32_t newState();
    bool selectState(int32_t index);
    void addStateTrack(const AnimTrack& track);
    void addStateCommand(int32_t id, int32_t action);
    void addStateTrigger(AnimScript* other, int32_t index);
    void runState(int32_t index);
};

extern AnimTrack* currentTrack;  // the track whose callback runs
