#include "content/node_tracks.h"

#include "scene/node.h"

AnimTrack actionTrack(TrackCallback callback, int32_t arg, double duration) {
    AnimTrack track;
    track.initTrack(1, true, duration);
    track.setTrackAction(callback, arg);
    return track;
}

AnimTrack axisTrack(TrackCallback callback, int32_t intParam1, double r1, double r2, double r3,
                    double duration) {
    AnimTrack track;
    track.initTrack(1, true, duration);
    track.setAxisTrack(callback, intParam1, r1, r2, r3);
    return track;
}

AnimTrack realTrack(TrackCallback callback, double r1, double r2, double r3, double duration) {
    AnimTrack track;
    track.initTrack(1, true, duration);
    track.setRealTrack(callback, r1, r2, r3);
    return track;
}

AnimTrack pairTrack(TrackCallback callback, int32_t intParam1, int32_t intParam2, double duration) {
    AnimTrack track;
    track.initTrack(1, true, duration);
    track.setPairTrack(callback, intParam1, intParam2, 0.0, 0.0, 0.0);
    return track;
}

void giveTracks(SceneNode* node, const AnimTrack* tracks, int32_t count) {
    node->script.newState();
    for (int32_t i = 0; i < count; i++) node->script.addStateTrack(tracks[i]);
    node->script.runState(0);
}

void giveTrack(SceneNode* node, const AnimTrack& track) {
    giveTracks(node, &track, 1);
}

SceneNode* newModelNode(const char* pakName, const char* entryName) {
    SceneNode* node = newNode();
    if (entryName) node->loadModel(pakName, entryName);
    return node;
}
