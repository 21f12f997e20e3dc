#pragma once
// Where the candles stand: read by the scene (the flames on the wick tips) and by the asset
// builder (the wax, tops and wicks), so both always agree.
//
// Units are those of the "svechi" and "thinks" models (Z up). Both models share one placement
// at half scale, and children of "thinks" are placed in its rotated but unscaled frame, so a
// flame standing on a wick tip at p sits at p / 2.

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
    *x = candlePlaces[i].x * 0.5;
    *y = candlePlaces[i].y * 0.5;
    *z = candlePlaces[i].wickTip * 0.5;
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
    *x = (glassPlace.x + bubbleSourceOffset[i][0]) * 0.5;
    *y = (glassPlace.y + bubbleSourceOffset[i][1]) * 0.5;
    *z = (glassPlace.drinkBottom + bubbleSourceRise) * 0.5;
}
