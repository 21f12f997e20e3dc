#pragma once
#include <cmath>
#include <cstdint>
#include <string>

// The scene's layout: where the models, candles, glass and bubble sources stand, where the clock,
// calendar and frame-rate readouts put their parts, and the entry names the scene loads. The scene
// and the asset builder both read it, so the pictures and models always fit where they are shown.
//
// Units are those of the "svechi" and "thinks" models (Z up). Both models share one placement
// at half scale, and children of "thinks" are placed in its rotated but unscaled frame, so a
// flame standing on a wick tip at p sits at p times the placement's scale.

// The placement "svechi" and "thinks" share in the scene: moved, tilted about x (degrees), scaled.
// The eye looks down -z from eyeDepth in front of the scene's origin.
struct ModelPlacement {
    double x, y, z;
    double tiltX;
    double scale;
};

static const ModelPlacement modelPlacement = {4.0, -1.0, 44.0, -76.0, 0.5};
static const double eyeDepth = 100.0;
static const double fieldOfView = 45.0;  // vertical, degrees: the picture's rows span it at any ratio

// Where the eye is, in model units: the asset builder paints the glass for the side it is seen from.
static inline void viewerPlace(double* x, double* y, double* z) {
    const double a = modelPlacement.tiltX * 3.14159265358979323846 / 180.0;
    // Undo the move (eye at the origin), then the tilt, then the scale.
    const double px = -modelPlacement.x, py = -modelPlacement.y, pz = eyeDepth - modelPlacement.z;
    *x = px / modelPlacement.scale;
    *y = (py * std::cos(a) + pz * std::sin(a)) / modelPlacement.scale;
    *z = (-py * std::sin(a) + pz * std::cos(a)) / modelPlacement.scale;
}

struct CandlePlace {
    double x, y;
    double radius;
    double base;     // bottom of the wax
    double top;      // rim of the wax
    double wickTip;  // where the flame stands
};

// The near candle, the tall one at the back, the one in the brass dish. The tall one's flame
// stays below the top of a 5:4 to 21:9 picture all through the sway; the dish candle's stays
// below the calendar and inside the right edge.
static const CandlePlace candlePlaces[3] = {
    {-14.452, -56.32, 4.2, 0.0, 10.2, 12.0},
    {-35.872, -8.937, 4.6, 0.0, 25.4, 27.443},
    {15.5, -45.042, 3.7, 1.2, 8.5, 10.221},
};

// A flame's place as a child of "thinks".
static inline void flamePlace(int i, double* x, double* y, double* z) {
    *x = candlePlaces[i].x * modelPlacement.scale;
    *y = candlePlaces[i].y * modelPlacement.scale;
    *z = candlePlaces[i].wickTip * modelPlacement.scale;
}

// The glass of something sparkling stands behind the two short candles, between them, wholly in
// view from 5:4 to 21:9. The drink is deep enough for a bubble's whole rise (about 12.3 units);
// the bowl is drawn from the drink's bottom, so a lower drink means a shorter stem.
struct GlassPlace {
    double x, y;
    double drinkBottom, drinkTop;
    double causticX, causticY;  // where the light through the drink falls on the table
};

// The dish flame is in front and to the right: the caustics fall behind the glass, to its left.
static const GlassPlace glassPlace = {0.0, -31.0, 11.2, 25.0, -2.0, -22.0};

// Bubbles rise from two points on the drink's bottom, either side of the glass's axis.
static const double bubbleSourceOffset[2][2] = {{-2.6115, -3.091}, {2.6115, 3.091}};
static const double bubbleSourceRise = 0.838;  // above the drink's bottom, inside the liquid

// A bubble source's place as a child of "thinks".
static inline void bubbleSourcePlace(int i, double* x, double* y, double* z) {
    *x = (glassPlace.x + bubbleSourceOffset[i][0]) * modelPlacement.scale;
    *y = (glassPlace.y + bubbleSourceOffset[i][1]) * modelPlacement.scale;
    *z = (glassPlace.drinkBottom + bubbleSourceRise) * modelPlacement.scale;
}

// The digital clock, in clock carrier units: the slots along its plate (the digits, the colon and
// the am/pm mark, each centred on its slot) and which field each shows in the 12- and 24-hour
// readouts (selectors of spawnClockDigit).
struct ClockSlot {
    double x;
    int selector12;
    int selector24;  // 0: the 24-hour readout has no such slot
};

static const ClockSlot clockSlots[6] = {
    {11.432, 8, 0}, {-6.483, 6, 1}, {-2.498, 7, 2}, {0.0, 5, 5}, {2.523, 3, 3}, {6.466, 4, 4},
};

// The plates behind the readout, left and right edge: the 24-hour one ("podlozka") spans the hour
// tens to the minute units, the 12-hour one ("podlozka_am") also the am/pm mark.
static const double clockPlateLeft = -9.2;
static const double clockPlateRight = 9.2;
static const double clockPlateRightAm = 14.3;

// The calendar, in calendar carrier units: the page ("fon", "fon_rus"), the weekday row ("day",
// "day_rus") and the month title ("m1" ...) stand at calendarPageX; the day cells are
// calendarCell apart in seven columns, cell 0 at the top left.
static const double calendarPageX = -16;
static const double calendarPageY = -12;
static const double calendarWeekdaysY = 8;
static const double calendarMonthY = 16;
static const double calendarCell = 8;

static inline double calendarCellX(int cell) {
    return (cell % 7 - 5) * calendarCell;
}
static inline double calendarCellY(int cell) {
    return -(cell / 7) * calendarCell;
}

// The frame-rate digits, in frame-rate carrier units: units, tens, hundreds from right to left,
// right of the "fps" label that ends at the carrier origin; each digit's picture spans
// frameRateDigitWidth from its place.
static const double frameRateDigitX[3] = {3.3, 1.9, 0.5};
static const double frameRateDigitWidth = 1.3;

// How far in front of the eye a point (any x, y, z) of the "svechi"/"thinks" models stands, in
// scene units, at the rest position of the bob and the sway.
static inline double modelEyeDepth(double y, double z) {
    const double a = modelPlacement.tiltX * 3.14159265358979323846 / 180.0;
    const double turnedZ = (y * std::sin(a) + z * std::cos(a)) * modelPlacement.scale;
    return eyeDepth - (modelPlacement.z + turnedZ);
}

// Level of detail of the models made by turning a profile (candles, glass, drink, dish). The full
// models serve screens of more rows than the last of these; for each of these row counts the
// archive also holds the models turned with fewer segments ("svechi@768"), from the same
// profiles, each round thing with as few as keep it within half a pixel of the full one there.
static const int32_t detailRows[4] = {480, 768, 1080, 1440};

// The entry of `model` that a screen of `rows` pixel rows draws.
static inline std::string detailEntry(const char* model, int32_t rows) {
    for (int32_t levelRows : detailRows)
        if (rows <= levelRows) return std::string(model) + "@" + std::to_string(levelRows);
    return model;
}

// The bob brings the models up to 3 units nearer and the sway turns them by up to 2 degrees about
// the scene's origin: their points come up to this much nearer than at rest.
static const double detailDepthMargin = 6.0;

// Segments for a ring of `radius` model units whose centre stands `depth` in front of the eye, on
// a screen of `rows` pixel rows (0: the full model): the fewest, up to `full`, whose chords stay
// within half a pixel of the circle wherever the ring comes.
static inline int32_t latheSegments(int32_t full, double radius, double depth, int32_t rows) {
    if (rows <= 0) return full;
    const double halfView = std::tan(fieldOfView * 3.14159265358979323846 / 360.0);
    const double nearest = depth - radius * modelPlacement.scale - detailDepthMargin;
    if (!(nearest > 1.0)) return full;
    const double pixels = radius * modelPlacement.scale * rows / (2.0 * halfView * nearest);
    if (!(pixels > 0.5)) return full < 8 ? full : 8;
    const int32_t needed = (int32_t)std::ceil(3.14159265358979323846 / std::acos(1.0 - 0.5 / pixels));
    return needed < 8 ? (full < 8 ? full : 8) : needed < full ? needed : full;
}

// Entry names of the models the scene loads, as the archives hold them. The digits ("0" ... "9"),
// the month titles ("m1" ... "m12") and the day numbers ("1" ... "31") are named by their value.
// main.pak
static const char* const candlesEntry = "svechi";
static const char* const thinksEntry = "thinks";
static const char* const flameEntry = "plamia";
static const char* const bubbleEntry = "puzir";
static const char* const signatureEntry = "nn";
static const char* const glassPictureEntry = "steklo.png";  // the glass mesh wears it
// debug.pak
static const char* const axisMarkerEntry = "ort";
// clock.pak
static const char* const dialEntry = "ciferblat";
static const char* const secondHandEntry = "sec";
static const char* const minuteHandEntry = "min";
static const char* const hourHandEntry = "chas";
static const char* const clockPlateEntry = "podlozka";
static const char* const clockPlateAmEntry = "podlozka_am";
static const char* const colonEntry = "dot";
static const char* const amEntry = "am";
static const char* const pmEntry = "pm";
// calendar.pak
static const char* const pageEntry = "fon";
static const char* const pageRussianEntry = "fon_rus";
static const char* const weekdaysEntry = "day";
static const char* const weekdaysRussianEntry = "day_rus";
static const char* const emptyCellEntry = "null";
static const char* const todayEntry = "sel";
// utils.pak
static const char* const frameRateLabelEntry = "fps";
