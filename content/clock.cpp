#include "content/clock.h"

#include "content/layout.h"
#include "content/lights.h"
#include "content/node_tracks.h"
#include "scene/node.h"

static const char* const clockPak = "clock.pak";

time_t (*readWallClock)(time_t*) = time;
struct tm* (*convertWallClock)(const time_t*) = localtime;

time_t clockTime = 0;
struct tm localNow = {};
static bool snapshotKnown = false;

int32_t clockRemembered[6] = {-1, -1, -1, -1, -1, -1};

void forgetClockDigits() {
    for (int i = 0; i < 6; i++) clockRemembered[i] = -1;
}

bool refreshTimeSnapshot() {
    clockTime = readWallClock(nullptr);
    struct tm* now = convertWallClock(&clockTime);
    if (now) {
        localNow = *now;
        snapshotKnown = true;
    }
    return snapshotKnown;
}

void forgetTimeSnapshot() {
    localNow = {};
    snapshotKnown = false;
}

bool clockHandAngle(int32_t selector, const struct tm& now, int32_t* angle) {
    switch (selector) {
        case 1:
            *angle = -6 * now.tm_sec;
            return true;
        case 2:
            *angle = -6 * now.tm_min;
            return true;
        case 3:
            *angle = -30 * now.tm_hour - now.tm_min / 2;
            return true;  // 1 degree every two minutes
        default:
            return false;
    }
}

enum { TENS_HOUR, UNITS_HOUR, TENS_MINUTE, UNITS_MINUTE, COLON_SECOND, AMPM_HOUR };

bool clockSlotField(int32_t selector, const struct tm& now, int32_t* field, int32_t* memory) {
    static const int32_t memories[9] = {-1,           TENS_HOUR, UNITS_HOUR, TENS_MINUTE, UNITS_MINUTE,
                                        COLON_SECOND, TENS_HOUR, UNITS_HOUR, AMPM_HOUR};
    if (selector < 1 || selector > 8) return false;
    *memory = memories[selector];
    if (selector == 3 || selector == 4) {
        *field = now.tm_min;
    } else if (selector == 5) {
        *field = now.tm_sec;
    } else {
        *field = now.tm_hour;
    }
    return true;
}

static const char* digitName(int32_t digit) {
    static const char* const names[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    return names[digit];
}

const char* clockDigitModel(int32_t selector, int32_t field) {
    int32_t h12 = field > 12 ? field - 12 : field;  // 12-hour readout: 0 shows as 12
    switch (selector) {
        case 1:
            return (field >= 1 && field <= 9) ? nullptr : digitName(field / 10);
        case 2:
            return digitName(field % 10);
        case 3:
            return digitName(field / 10);
        case 4:
            return digitName(field % 10);
        case 5:
            return field % 2 ? colonEntry : nullptr;
        case 6:
            if (h12 == 0) return "1";
            return h12 / 10 == 0 ? nullptr : digitName(h12 / 10);
        case 7:
            return h12 == 0 ? "2" : digitName(h12 % 10);
        case 8:
            return field < 12 ? amEntry : pmEntry;
        default:
            return nullptr;
    }
}

int32_t clockExpirySelector(int32_t slotSelector) {
    if (slotSelector >= 2 && slotSelector <= 5) return slotSelector;
    return 1;
}

bool clockExpiryField(int32_t selector, const struct tm& now, int32_t* field) {
    switch (selector) {
        case 1:
        case 2:
            *field = now.tm_hour;
            return true;
        case 3:
        case 4:
            *field = now.tm_min;
            return true;
        case 5:
            *field = now.tm_sec;
            return true;
        default:
            return false;
    }
}

// Builder-made clock nodes are drawn over the scene.
static SceneNode* newClockNode(const char* entryName) {
    SceneNode* node = newModelNode(clockPak, entryName);
    node->addDrawCallback(drawWithoutDepthTest, 0);
    return node;
}

void buildAnalogClock(int32_t) {
    SceneNode* carrier = currentNode;
    carrier->addPosition(-9.3, 9, 0);
    carrier->addChild(newClockNode(dialEntry));
    static const char* const hands[3] = {secondHandEntry, minuteHandEntry, hourHandEntry};
    for (int32_t i = 0; i < 3; i++) {
        SceneNode* hand = newClockNode(hands[i]);
        giveTrack(hand, axisTrack(turnClockHand, i + 1, 0.0, 0.0, 0.0, 0.0));
        carrier->addChild(hand);
    }
}

// The offset is reset every frame, so the hand shows exactly this angle.
void turnClockHand(int32_t) {
    // No time to show yet: the hand stays hidden rather than pointing at a made-up 12 o'clock.
    currentNode->hasMeshes = refreshTimeSnapshot();
    if (!currentNode->hasMeshes) return;
    int32_t angle;
    if (!clockHandAngle(currentTrack->intParam1, localNow, &angle)) return;
    currentTrack->target->setRotation(0, 0, angle);
}

void buildDigitalClock(int32_t) {
    SceneNode* carrier = currentNode;
    bool hours24 = currentTrack->intParam1 != 0;
    carrier->addPosition(-10, 1, 0);
    if (!hours24) carrier->addPosition(-5.186, 0, 0);  // the wider am/pm plate
    carrier->addChild(newClockNode(hours24 ? clockPlateEntry : clockPlateAmEntry));
    for (int32_t i = 0; i < 6; i++) {
        int32_t selector = hours24 ? clockSlots[i].selector24 : clockSlots[i].selector12;
        if (selector == 0) continue;
        SceneNode* slot = newClockNode(nullptr);
        slot->setPosition(clockSlots[i].x, 0, 0);
        giveTrack(slot, axisTrack(spawnClockDigit, selector, 0.0, 0.0, 0.0, 0.0));
        carrier->addChild(slot);
    }
}

// Runs before the slot's children are drawn: the new digit appears in the frame its field changes,
// in which the old digit's expiry marks it dying.
void spawnClockDigit(int32_t) {
    if (!refreshTimeSnapshot()) return;  // a blank readout until there is a time
    int32_t selector = currentTrack->intParam1;
    int32_t field, memory;
    if (!clockSlotField(selector, localNow, &field, &memory)) return;
    if (clockRemembered[memory] == field) return;
    clockRemembered[memory] = field;
    SceneNode* digit = newModelNode(clockPak, clockDigitModel(selector, field));
    giveTrack(digit, pairTrack(expireWithTime, clockExpirySelector(selector), field, 0.0));
    currentNode->addChild(digit);
}

void expireWithTime(int32_t) {
    if (!refreshTimeSnapshot()) return;
    int32_t field;
    if (!clockExpiryField(currentTrack->intParam1, localNow, &field)) return;
    if (field != currentTrack->intParam2) currentNode->markDying();
}
