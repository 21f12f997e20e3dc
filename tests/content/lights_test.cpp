#include "content/lights.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Flicker, StaysWithinItsBandOverAMillionSteps) {
    srand(12345);
    const float start[3] = {0.02f, 0.035f, 0.02f};
    const double lowest[3] = {0.0085, 0.019, 0.0085};
    const double highest[3] = {0.0315, 0.051, 0.0315};
    for (int light = 0; light < 3; light++) {
        float q = start[light];
        double minSeen = q, maxSeen = q;
        for (int step = 0; step < 1000000; step++) {
            q = stepFlicker(q, flickerBands[light]);
            if (q < minSeen) minSeen = q;
            if (q > maxSeen) maxSeen = q;
        }
        EXPECT_GE(minSeen, lowest[light]) << "light " << light + 2;
        EXPECT_LE(maxSeen, highest[light]) << "light " << light + 2;
        // The walk really wanders over the band, not stuck near its start.
        EXPECT_LT(minSeen, flickerBands[light].low);
        EXPECT_GT(maxSeen, flickerBands[light].high);
    }
}

TEST(Flicker, DrawsInOrderAndWandersAtTheBounds) {
    const FlickerBand& band = flickerBands[0];
    // Below the band: one draw, a step up.
    srand(7);
    int r = rand() % 100;
    srand(7);
    EXPECT_FLOAT_EQ(stepFlicker(0.005f, band), (float)(0.005f + r * (double)band.up / 100.0));
    // Above: one draw, a step down.
    srand(8);
    r = rand() % 100;
    srand(8);
    EXPECT_FLOAT_EQ(stepFlicker(0.04f, band), (float)(0.04f - r * (double)band.down / 100.0));
    // Exactly at a bound it wanders: the sign first, then the size.
    float atLow = band.low;
    srand(9);
    int sign = 1 - 2 * (rand() % 2);
    r = rand() % 100;
    srand(9);
    EXPECT_FLOAT_EQ(stepFlicker(atLow, band), (float)(atLow + r * sign * (double)band.wander / 100.0));
}

TEST(Billboard, KeepsOnlyTranslationAndPerspectiveParts) {
    double m[16];
    for (int i = 0; i < 16; i++) m[i] = i + 1.5;
    billboardMatrix(m);
    const double expected[16] = {1, 0, 0, 4.5, 0, 1, 0, 8.5, 0, 0, 1, 12.5, 13.5, 14.5, 15.5, 16.5};
    for (int i = 0; i < 16; i++) EXPECT_EQ(m[i], expected[i]) << "element " << i;
}
