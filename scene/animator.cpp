#include "scene/animator.h"

#include <cstddef>

AnimTrack::AnimTrack()
    : target(nullptr),
      elapsed(0.0),
      intParam1(0),
      intParam2(0),
      realParam1(0.0),
      realParam2(0.0),
      realParam3(0.0),
      callback(nullptr),
      callbackArg(0),
      id(0),
      enabled(false),
      endless(false),
      finished(false),
      duration(0.0),
      lifetime(0.0) {}

void AnimTrack::initTrack(int32_t trackId, bool isEnabled, double durationMs) {
    id = trackId;
    enabled = isEnabled;
    endless = durationMs == 0.0;
    if (!endless) duration = durationMs;
    finished = false;
    elapsed = 0.0;
    lifetime = 0.0;
}

void AnimTrack::setTrackAction(TrackCallback cb, int32_t arg) {
    callback = cb;
    callbackArg = arg;
}

void AnimTrack::setRealTrack(TrackCallback cb, double r1, double r2, double r3) {
    callback = cb;
    callbackArg = 0;
    realParam1 = r1;
    realParam2 = r2;
    realParam3 = r3;
}

void AnimTrack::setAxisTrack(TrackCallback cb, int32_t i1, double r1, double r2, double r3) {
    setRealTrack(cb, r1, r2, r3);
    intParam1 = i1;
}

void AnimTrack::setPairTrack(TrackCallback cb, int32_t i1, int32_t i2, double r1, double r2, double r3) {
    setAxisTrack(cb, i1, r1, r2, r3);
    intParam2 = i2;
}

// The callback runs last: it may append to the track list, which can move this record.
void AnimTrack::stepTrack(uint32_t dt) {
    if (!enabled) return;
    lifetime += dt;
    if (!endless && !(duration > lifetime)) finished = true;
    elapsed += dt;
    currentTrack = this;
    callback(callbackArg);
}

void AnimTrack::enableTrack() {
    enabled = true;
}
void AnimTrack::disableTrack() {
    enabled = false;
}
void AnimTrack::finishTrack() {
    finished = true;
}

void Animator::initAnimator() {
    offset.initTransform();
    tracks.clear();
    timeScale = 1.0;
    lastTicks = frameTicks;
    prevTicks = frameTicks;
}

void Animator::destroyAnimator() {
    std::vector<AnimTrack>().swap(tracks);
}

void Animator::addTrack(const AnimTrack& track) {
    tracks.push_back(track);
    tracks.back().target = &offset;
}

void Animator::enableTracks(int32_t id) {
    for (size_t i = 0; i < tracks.size(); i++)
        if (tracks[i].id == id) tracks[i].enableTrack();
}

void Animator::disableTracks(int32_t id) {
    for (size_t i = 0; i < tracks.size(); i++)
        if (tracks[i].id == id) tracks[i].disableTrack();
}

void Animator::finishTracks(int32_t id) {
    for (size_t i = 0; i < tracks.size(); i++)
        if (tracks[i].id == id) tracks[i].finishTrack();
}

void Animator::updateAnimator() {
    prevTicks = lastTicks;
    lastTicks = frameTicks;
    offset.resetTransform();
    // Unsigned subtraction survives the wrap of the millisecond counter.
    uint32_t dt = (uint32_t)((double)(uint32_t)(lastTicks - prevTicks) * timeScale);
    // Index walk with the length read each step: callbacks may append tracks.
    for (size_t i = 0; i < tracks.size();) {
        if (tracks[i].finished) {
            tracks.erase(tracks.begin() + (ptrdiff_t)i);
            continue;
        }
        tracks[i].stepTrack(dt);
        i++;
    }
    offset.applyTransform();
}

void AnimScript::initScript(Animator* animator) {
    currentState = -1;
    stateEnabled.clear();
    stateTracks.clear();
    stateCommands.clear();
    stateTriggers.clear();
    scriptAnimator = animator;
}

void AnimScript::destroyScript() {
    currentState = -1;
    std::vector<int32_t>().swap(stateEnabled);
    std::vector<std::vector<AnimTrack>>().swap(stateTracks);
    std::vector<std::vector<std::pair<int32_t, int32_t>>>().swap(stateCommands);
    std::vector<std::vector<std::pair<AnimScript*, int32_t>>>().swap(stateTriggers);
}

int32_t AnimScript::newState() {
    stateEnabled.push_back(1);
    stateTracks.emplace_back();
    stateCommands.emplace_back();
    stateTriggers.emplace_back();
    currentState = (int32_t)stateEnabled.size() - 1;
    return currentState;
}

static bool validState(const AnimScript* script, int32_t index) {
    return index >= 0 && (size_t)index < script->stateEnabled.size();
}

bool AnimScript::selectState(int32_t index) {
    if (!validState(this, index) || stateEnabled[index] != 1) return false;
    currentState = index;
    return true;
}

// Before the first newState there is no state to fill: the additions are dropped.
void AnimScript::addStateTrack(const AnimTrack& track) {
    if (validState(this, currentState)) stateTracks[currentState].push_back(track);
}

void AnimScript::addStateCommand(int32_t id, int32_t action) {
    if (validState(this, currentState)) stateCommands[currentState].push_back({id, action});
}

void AnimScript::addStateTrigger(AnimScript* other, int32_t index) {
    if (validState(this, currentState)) stateTriggers[currentState].push_back({other, index});
}

// Triggers may lead back to a state already running; the depth limit stops such a loop.
static int32_t runStateDepth = 0;
enum { MAX_RUN_STATE_DEPTH = 32 };

void AnimScript::runState(int32_t index) {
    if (!validState(this, index) || stateEnabled[index] == 0) return;
    if (runStateDepth >= MAX_RUN_STATE_DEPTH) return;
    runStateDepth++;
    for (size_t i = 0; i < stateTracks[index].size(); i++) scriptAnimator->addTrack(stateTracks[index][i]);
    for (size_t i = 0; i < stateCommands[index].size(); i++) {
        std::pair<int32_t, int32_t> command = stateCommands[index][i];
        if (command.second == TRACK_DISABLE) scriptAnimator->disableTracks(command.first);
        if (command.second == TRACK_ENABLE) scriptAnimator->enableTracks(command.first);
        if (command.second == TRACK_FINISH) scriptAnimator->finishTracks(command.first);
    }
    for (size_t i = 0; i < stateTriggers[index].size(); i++) {
        std::pair<AnimScript*, int32_t> trigger = stateTriggers[index][i];
        if (trigger.first) trigger.first->runState(trigger.second);
    }
    runStateDepth--;
}
