#include "content/scene.h"

#include "content/calendar.h"
#include "content/clock.h"
#include "content/frame_rate.h"
#include "content/layout.h"
#include "content/lights.h"
#include "content/motions.h"
#include "content/node_tracks.h"
#include "effects/effect_textures.h"
#include "pak/library.h"
#include "platform/heap_trim.h"
#include "scene/node.h"
#include "scene/view_edges.h"

static const char* const mainPak = "main.pak";

SceneNode* sceneRoot = nullptr;
SceneNode* overlayRoot = nullptr;

// Overlay depths: where each piece is held to its side of the picture.
static const double calendarDepth = -211;
static const double calendarEdgeDepth = 183;  // the depth whose top edge sets the calendar's height
static const double calendarZ = -140;
static const double largeClockDepth = -70;
static const double largeClockZ = 30;
static const double clockDepth = -170;
static const double clockZ = -70;
static const double frameRateDepth = -100;
static const double frameRateShift = 5;

// Bubbles: one every bubbleSpacingMs plus up to bubbleSpacingSpread - 1 more, each living bubbleLifeMs.
static const int32_t bubbleSpacingMs = 180;
static const int32_t bubbleSpacingSpread = 50;
static const double bubbleLifeMs = 3410.0;

// Overlay nodes held to a side of the picture: x = side × edgeXAtDepth(depth) + shift. The
// vertical field of view is fixed, so a new aspect ratio moves them sideways only.
struct OverlayPin {
    SceneNode* node;
    double side;  // -1: the right edge, 1: the left edge
    double depth;
    double shift;
    double placedX;  // the x the pin gave; builders may add offsets of their own on top
};
static OverlayPin overlayPins[3];
static int overlayPinCount = 0;

// The turned models, loaded at the level of detail of the screen's height.
static SceneNode* candlesNode = nullptr;
static SceneNode* thinksNode = nullptr;
static int32_t detailRowsLoaded = 0;

static double pinnedX(const OverlayPin& pin, const ViewEdges& view) {
    return pin.side * view.edgeXAtDepth(pin.depth) + pin.shift;
}

// Places the node's x and remembers it for a later fitSceneToView.
static void pinToSide(SceneNode* node, double side, double depth, double shift, const ViewEdges& view) {
    OverlayPin pin = {node, side, depth, shift, 0};
    pin.placedX = pinnedX(pin, view);
    node->transform.position.x = pin.placedX;
    if (overlayPinCount < (int)(sizeof overlayPins / sizeof overlayPins[0]))
        overlayPins[overlayPinCount++] = pin;
}

void resetSceneState() {
    forgetClockDigits();
    forgetTimeSnapshot();
    calendarDay = -1;
    flickerValues[0] = 0.02f;
    flickerValues[1] = 0.035f;
    flickerValues[2] = 0.02f;
    fpsFrames = 0;
    overlayPinCount = 0;
    candlesNode = thinksNode = nullptr;
}

static double randomPhase() {
    return randomBelow(100) * 6.28318530717956 / 100;
}

static AnimTrack placeLightTrack(int32_t light) {
    return axisTrack(placeLight, light, 0.0, 0.0, 0.0, 0.0);
}

// The flames face the viewer and glow by themselves.
static SceneNode* newFlame(double x, double y, double z) {
    SceneNode* flame = newModelNode(mainPak, flameEntry);
    flame->setPosition(x, y, z);
    flame->setScale(0.5, 0.5, 0.5);
    flame->addDrawCallback(drawBillboarded, 0);
    flame->addDrawCallback(drawUnlit, 0);
    return flame;
}

static SceneNode* newCarrier(double x, double y, double z, const AnimTrack* tracks, int32_t count) {
    SceneNode* node = newNode();
    node->setPosition(x, y, z);
    giveTracks(node, tracks, count);
    return node;
}

// The candles and "thinks" share one placement; what hangs below "thinks" is in its rotated frame.
static void placeLikeCandles(SceneNode* node) {
    node->setRotation(modelPlacement.tiltX, 0, 0);
    node->setPosition(modelPlacement.x, modelPlacement.y, modelPlacement.z);
    node->setScale(modelPlacement.scale, modelPlacement.scale, modelPlacement.scale);
}

static void buildFlames(SceneNode* thinks) {
    double x, y, z;
    flamePlace(0, &x, &y, &z);
    SceneNode* flame1 = newFlame(x, y, z);
    const AnimTrack light2[2] = {actionTrack(flickerLights, 0, 0.0), placeLightTrack(2)};
    flame1->addChild(newCarrier(0, 0, 2.0, light2, 2));
    thinks->addChild(flame1);

    flamePlace(1, &x, &y, &z);
    SceneNode* flame2 = newFlame(x, y, z);
    giveTrack(flame2, placeLightTrack(3));
    thinks->addChild(flame2);

    flamePlace(2, &x, &y, &z);
    SceneNode* flame3 = newFlame(x, y, z);
    const AnimTrack light4 = placeLightTrack(4);
    flame3->addChild(newCarrier(0, 0, 1.0, &light4, 1));
    thinks->addChild(flame3);

    const AnimTrack source = actionTrack(spawnBubble, 0, 0.0);
    for (int i = 0; i < 2; i++) {
        bubbleSourcePlace(i, &x, &y, &z);
        thinks->addChild(newCarrier(x, y, z, &source, 1));
    }
}

static void buildMainScene(int32_t rows) {
    const AnimTrack light1 = placeLightTrack(1);
    sceneRoot->addChild(newCarrier(0, 24, 105, &light1, 1));

    SceneNode* pacer = newNode();
    const AnimTrack pacerTracks[2] = {actionTrack(effectTrackCallback, 0, 0.0),
                                      actionTrack(returnStartUpHeap, 0, 0.0)};
    giveTracks(pacer, pacerTracks, 2);
    sceneRoot->addChild(pacer);

    SceneNode* bob = newNode();
    giveTrack(bob, axisTrack(sinePosition, 2, 3.0, 0.07, randomPhase(), 0.0));
    sceneRoot->addChild(bob);

    SceneNode* sway = newNode();
    double phase2 = randomPhase();
    double phase3 = randomPhase();
    const AnimTrack swayTracks[2] = {axisTrack(sineRotation, 1, 2.0, 0.07, phase2, 0.0),
                                     axisTrack(sineRotation, 0, 1.5, 0.07, phase3, 0.0)};
    giveTracks(sway, swayTracks, 2);
    bob->addChild(sway);

    SceneNode* candles = newNode();
    candles->addDrawCallback(switchLight5, 0);
    candles->loadModel(mainPak, detailEntry(candlesEntry, rows).c_str());
    placeLikeCandles(candles);
    SceneNode* light5 = newModelNode("debug.pak", axisMarkerEntry);
    light5->setPosition(-5, -35, 25);
    giveTrack(light5, placeLightTrack(5));
    candles->addChild(light5);
    sway->addChild(candles);

    SceneNode* thinks = newModelNode(mainPak, detailEntry(thinksEntry, rows).c_str());
    candlesNode = candles;
    thinksNode = thinks;
    detailRowsLoaded = rows;
    placeLikeCandles(thinks);
    thinks->addDrawCallback(switchLights1to4, 0);
    buildFlames(thinks);
    sway->addChild(thinks);
}

// Another screen height may want the turned models at another level of detail: they are read
// again from the archive, their draw callbacks and children kept.
static void fitDetailToView(const ViewEdges& view) {
    if (!sceneRoot || sceneRoot->dying || !candlesNode || !thinksNode) return;
    if (detailEntry(candlesEntry, view.pixelRows) == detailEntry(candlesEntry, detailRowsLoaded)) return;
    candlesNode->unloadModels();
    candlesNode->loadModel(mainPak, detailEntry(candlesEntry, view.pixelRows).c_str());
    thinksNode->unloadModels();
    thinksNode->loadModel(mainPak, detailEntry(thinksEntry, view.pixelRows).c_str());
    detailRowsLoaded = view.pixelRows;
}

void fitSceneToView(const ViewEdges& view) {
    pakLibrary.newScreen(view.pixelColumns, view.pixelRows);
    fitDetailToView(view);
    if (!overlayRoot || overlayRoot->dying) return;
    for (int p = 0; p < overlayPinCount; p++)
        for (size_t c = 0; c < overlayRoot->children.size(); c++)
            if (overlayRoot->children[c] == overlayPins[p].node) {
                OverlayPin& pin = overlayPins[p];
                double x = pinnedX(pin, view);
                pin.node->transform.position.x += x - pin.placedX;
                pin.placedX = x;
            }
}

static void addOverlayCarrier(const ViewEdges& view, double depth, double shift, double y, double z,
                              const AnimTrack& track) {
    SceneNode* carrier = newNode();
    carrier->setPosition(0, y, z);
    pinToSide(carrier, -1, depth, shift, view);
    giveTrack(carrier, track);
    overlayRoot->addChild(carrier);
}

// The overlay's pictures are made for a 4K screen; each is drawn at the pixels it covers.
static const char* const overlayPaks[3] = {"clock.pak", "calendar.pak", "utils.pak"};

static void buildOverlay(const SceneChoices& choices, const ViewEdges& view) {
    for (const char* pak : overlayPaks) pakLibrary.fitPictures(pak);
    if (choices.showCalendar) {
        int32_t variant = choices.russianCalendar ? 0 : 1;
        addOverlayCarrier(view, calendarDepth, 0, view.edgeYAtDepth(calendarEdgeDepth), calendarZ,
                          axisTrack(buildCalendar, variant, 0.0, 0.0, 0.0, -1.0));
    }
    if (choices.showClock) {
        double depth = choices.largeClock ? largeClockDepth : clockDepth;
        double z = choices.largeClock ? largeClockZ : clockZ;
        AnimTrack builder = choices.analogClock ? actionTrack(buildAnalogClock, 0, -1.0)
                                                : axisTrack(buildDigitalClock, choices.clock24Hours ? 1 : 0,
                                                            0.0, 0.0, 0.0, -1.0);
        addOverlayCarrier(view, depth, 0, view.edgeYAtDepth(depth), z, builder);
    }
    if (choices.showFrameRate) {
        SceneNode* rate = newModelNode("utils.pak", frameRateLabelEntry);
        rate->setPosition(0, -2.5 - view.edgeYAtDepth(frameRateDepth), 0);
        pinToSide(rate, 1, frameRateDepth, frameRateShift, view);
        giveTrack(rate, actionTrack(updateFrameRate, 0, 0.0));
        overlayRoot->addChild(rate);
    }
    overlayRoot->setPosition(0, 0, 0);
    giveTrack(overlayRoot, actionTrack(addLateOverlay, 0, 0.0));
    overlayRoot->addDrawCallback(drawWithoutDepthTest, 0);
}

void buildScene(const SceneChoices& choices, const ViewEdges& view) {
    resetSceneState();
    pakLibrary.newScreen(view.pixelColumns, view.pixelRows);
    sceneRoot = newNode();
    overlayRoot = newNode();
    setUpLights();
    buildMainScene(view.pixelRows);
    buildOverlay(choices, view);
}

bool takeBubbleTurn(double* elapsed) {
    double t = *elapsed;
    if (!(t > 0.0)) return false;
    *elapsed = t - (bubbleSpacingMs + randomBelow(bubbleSpacingSpread));
    return true;
}

// Tracks are made in the order that fixes the random draws, then stepped removal first.
void spawnBubble(int32_t) {
    if (!takeBubbleTurn(&currentTrack->elapsed)) return;
    SceneNode* bubble = newNode();
    int32_t r1 = randomBelow(100);
    int32_t r2 = randomBelow(100);
    int32_t r3 = randomBelow(100);
    bubble->setPosition(0.12 - 0.0025 * r3, 0.12 - 0.0025 * r2, 0.12 - 0.0025 * r1);
    AnimTrack rise = axisTrack(linearPosition, 2, 1.8, 0.0, 0.0, 0.0);
    double driftY = randomBelow(2) * 1.05;
    driftY = driftY * randomBelow(100) / 100;
    AnimTrack easeY = axisTrack(easeOutPosition, 1, driftY, -1.5, 0.0, 0.0);
    double driftX = randomBelow(2) * 1.05;
    driftX = driftX * randomBelow(100) / 100;
    AnimTrack easeX = axisTrack(easeOutPosition, 0, driftX, -1.5, 0.0, 0.0);
    AnimTrack removal = realTrack(timedRemoval, bubbleLifeMs, 0.0, 0.0, 0.0);
    const AnimTrack tracks[4] = {removal, rise, easeY, easeX};
    giveTracks(bubble, tracks, 4);
    bubble->setScale(0.03, 0.03, 0.03);
    bubble->loadModel(mainPak, bubbleEntry);
    bubble->addDrawCallback(drawBillboarded, 0);
    currentNode->addChild(bubble);
}

// By then every kind of thing the scene shows has been made and drawn once. Bubbles come and go
// after that and leave holes of their own, so the heap is given back again now and then.
static const double startUpMs = 3000.0;
static const double heapReturnIntervalMs = 30000.0;

void returnStartUpHeap(int32_t) {
    if (!(currentTrack->elapsed > startUpMs)) return;
    currentTrack->elapsed -= heapReturnIntervalMs;
    returnFreeHeap();
}

void addLateOverlay(int32_t) {
    if (!(currentTrack->elapsed > 60000.0)) return;
    currentTrack->finishTrack();
    SceneNode* late = newModelNode(mainPak, signatureEntry);
    late->setScale(0.5, 0.5, 0.5);
    currentNode->addChild(late);
}
