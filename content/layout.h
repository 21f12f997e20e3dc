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
