#include "content/frame_rate.h"

#include "content/layout.h"
#include "content/lights.h"
#include "content/motions.h"
#include "content/node_tracks.h"
#include "scene/node.h"

int32_t fpsFrames = 0;

int32_t frameRateDigits(int32_t frames, int32_t digits[3]) {
    digits[0] = (frames / 5) % 10;
    if (frames < 50) return 1;
    digits[1] = (frames / 50) % 10;
    if (frames < 500) return 2;
    digits[2] = (frames / 500) % 10;
    return 3;
}

void updateFrameRate(int32_t) {
    fpsFrames++;
    if (!(currentTrack->elapsed > 0.0)) return;
    currentTrack->elapsed -= 5000.0;  // a backlog of long frames is worked off one display a frame
    // The set on show goes as the new one comes: the first display's wait also counts the start-up
    // time, so its digits would otherwise outlive the next display's arrival.
    for (size_t i = 0; i < currentNode->children.size(); i++) currentNode->children[i]->markDying();
    int32_t digits[3];
    int32_t count = frameRateDigits(fpsFrames, digits);
    for (int32_t i = 0; i < count; i++) {
        char name[2] = {(char)('0' + digits[i]), '\0'};
        SceneNode* digit = newNode();
        digit->setPosition(frameRateDigitX[i], 0, 0);
        digit->addDrawCallback(drawWithoutDepthTest, 0);
        digit->loadModel("utils.pak", name);
        giveTrack(digit, realTrack(timedRemoval, 5000.0, 0.0, 0.0, 0.0));
        currentNode->addChild(digit);
    }
    fpsFrames = 0;
}
