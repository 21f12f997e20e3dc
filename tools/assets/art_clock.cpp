// clock.pak: the analogue dial and hands, the digital readout's digits, colon, am/pm marks and plates.
// Units are those of the clock carrier (eye depth -70 for the large clock); every model is drawn
// unlit and blended, so colour and alpha come from the pictures.
#include <cmath>
#include <string>

#include "content/layout.h"
#include "pak/archive.h"
#include "tools/assets/art_geometry.h"
#include "tools/assets/assets.h"

static const float digitColour[4] = {1.0f, 0.93f, 0.82f, 0.92f};
static const float plateColour[4] = {0.025f, 0.018f, 0.012f, 0.5f};
static const float rimColour[4] = {1.0f, 0.82f, 0.55f, 0.28f};
static const float handColour[4] = {1.0f, 0.94f, 0.85f, 0.9f};
static const float secondColour[4] = {1.0f, 0.55f, 0.22f, 0.9f};

// Digits sit on a baseline 1.6 units above the slot origin, 4.2 units tall, centred on the slot.
static const double digitBaseline = 1.6;
static const double digitHeight = 4.2;

static bool addDigits(PakArchive* archive) {
    for (int d = 0; d <= 9; d++) {
        ArtImage image;
        image.initImage(128, 256, -1.5, 0.5, 1.5, 6.5);
        const char text[2] = {(char)('0' + d), 0};
        drawText(&image, FONT_THIN, text, 0.0, digitBaseline, digitHeight, true, digitColour);
        if (!addOverlayTile(archive, text, std::string("digit") + text + ".png", image)) return false;
    }
    ArtImage colon;
    colon.initImage(64, 256, -0.75, 0.5, 0.75, 6.5);
    const Circle lower = {0.0, digitBaseline + digitHeight * 0.25, 0.24};
    const Circle upper = {0.0, digitBaseline + digitHeight * 0.72, 0.24};
    fillShape(&colon, circleDistance, &lower, digitColour);
    fillShape(&colon, circleDistance, &upper, digitColour);
    return addOverlayTile(archive, colonEntry, "dot.png", colon);
}

static bool addMeridiem(PakArchive* archive, const char* text) {
    ArtImage image;
    image.initImage(256, 256, -2.5, 0.5, 2.5, 5.5);
    drawText(&image, FONT_BOOK, text, 0.0, digitBaseline, 2.0, true, digitColour);
    return addOverlayTile(archive, text, std::string(text) + ".png", image);
}

// A translucent plate with a faint warm rim behind the readout.
static bool addPlate(PakArchive* archive, const char* name, double left, double right) {
    ArtImage image;
    image.initImage(1024, 512, left, -0.2, right, 7.6);
    const RoundedRect plate = {left + 0.3, 0.1, right - 0.3, 7.3, 1.2};
    fillShape(&image, roundedRectDistance, &plate, plateColour);
    strokeShape(&image, roundedRectDistance, &plate, 0.09, rimColour);
    return addOverlayTile(archive, name, std::string(name) + ".png", image);
}

static const double dialRadius = 7.6;

static bool addDial(PakArchive* archive) {
    ArtImage image;
    image.initImage(1024, 1024, -dialRadius - 0.2, -dialRadius - 0.2, dialRadius + 0.2, dialRadius + 0.2);
    const Circle face = {0.0, 0.0, dialRadius - 0.1};
    fillShape(&image, circleDistance, &face, plateColour);
    strokeShape(&image, circleDistance, &face, 0.1, rimColour);
    for (int tick = 0; tick < 60; tick++) {
        const double angle = tick * 3.14159265358979323846 / 30.0;
        const bool hour = tick % 5 == 0;
        const double outer = dialRadius - 0.6, inner = outer - (hour ? 1.0 : 0.35);
        const Segment mark = {outer * std::sin(angle), outer * std::cos(angle), inner * std::sin(angle),
                              inner * std::cos(angle), hour ? 0.11 : 0.05};
        const float faint[4] = {digitColour[0], digitColour[1], digitColour[2], 0.45f};
        fillShape(&image, segmentDistance, &mark, hour ? digitColour : faint);
    }
    return addOverlayTile(archive, dialEntry, "ciferblat.png", image);
}

// A hand points up (+y, twelve o'clock) from the carrier origin; the clock turns it about z.
static bool addHand(PakArchive* archive, const char* name, double length, double tail, double halfWidth,
                    const float colour[4]) {
    const double margin = 0.15;
    ArtImage image;
    image.initImage(64, 512, -halfWidth - margin, -tail - margin, halfWidth + margin, length + margin);
    // Tapered: a wide segment near the hub narrowing towards the tip.
    const Segment body = {0.0, -tail + halfWidth, 0.0, length * 0.55, halfWidth};
    const Segment tip = {0.0, length * 0.5, 0.0, length - halfWidth * 0.5, halfWidth * 0.5};
    fillShape(&image, segmentDistance, &body, colour);
    fillShape(&image, segmentDistance, &tip, colour);
    const Circle hub = {0.0, 0.0, halfWidth * 1.4};
    fillShape(&image, circleDistance, &hub, colour);
    return addOverlayTile(archive, name, std::string(name) + ".png", image);
}

bool buildClockArchive(PakArchive* archive) {
    return addDial(archive) && addHand(archive, secondHandEntry, 6.8, 1.4, 0.07, secondColour) &&
           addHand(archive, minuteHandEntry, 6.2, 0.7, 0.2, handColour) &&
           addHand(archive, hourHandEntry, 4.3, 0.7, 0.32, handColour) &&
           addPlate(archive, clockPlateEntry, clockPlateLeft, clockPlateRight) &&
           addPlate(archive, clockPlateAmEntry, clockPlateLeft, clockPlateRightAm) && addDigits(archive) &&
           addMeridiem(archive, amEntry) && addMeridiem(archive, pmEntry);
}
