#include "content/clock.h"

#include <gtest/gtest.h>

#include <string>

#include "content/layout.h"

static struct tm timeOfDay(int hour, int minute, int second) {
    struct tm now = {};
    now.tm_hour = hour;
    now.tm_min = minute;
    now.tm_sec = second;
    return now;
}

// What a slot shows at the given time: "" for an empty node.
static std::string slotShows(int32_t selector, const struct tm& now) {
    int32_t field = -1, memory = -1;
    EXPECT_TRUE(clockSlotField(selector, now, &field, &memory));
    const char* model = clockDigitModel(selector, field);
    return model ? model : "";
}

TEST(ClockDigits, TwentyFourHourReadoutForEveryHour) {
    for (int hour = 0; hour < 24; hour++) {
        struct tm now = timeOfDay(hour, 7, 0);
        std::string tens = hour >= 1 && hour <= 9 ? "" : std::to_string(hour / 10);
        EXPECT_EQ(slotShows(1, now), tens) << "hour " << hour;
        EXPECT_EQ(slotShows(2, now), std::to_string(hour % 10)) << "hour " << hour;
    }
}

TEST(ClockDigits, TwelveHourReadoutForEveryHour) {
    for (int hour = 0; hour < 24; hour++) {
        struct tm now = timeOfDay(hour, 7, 0);
        int shown = hour % 12 == 0 ? 12 : hour % 12;
        EXPECT_EQ(slotShows(6, now), shown >= 10 ? "1" : "") << "hour " << hour;
        EXPECT_EQ(slotShows(7, now), std::to_string(shown % 10)) << "hour " << hour;
        EXPECT_EQ(slotShows(8, now), hour < 12 ? amEntry : pmEntry) << "hour " << hour;
    }
}

TEST(ClockDigits, MinutesAndColon) {
    EXPECT_EQ(slotShows(3, timeOfDay(9, 5, 0)), "0");
    EXPECT_EQ(slotShows(4, timeOfDay(9, 5, 0)), "5");
    EXPECT_EQ(slotShows(3, timeOfDay(9, 59, 0)), "5");
    EXPECT_EQ(slotShows(4, timeOfDay(9, 59, 0)), "9");
    for (int second = 0; second < 60; second++)
        EXPECT_EQ(slotShows(5, timeOfDay(9, 5, second)), second % 2 ? colonEntry : "") << "second " << second;
}

TEST(ClockDigits, SlotsShareRememberedFieldsAcrossReadouts) {
    struct tm now = timeOfDay(13, 45, 30);
    int32_t field, memory12, memory24;
    ASSERT_TRUE(clockSlotField(6, now, &field, &memory12));
    ASSERT_TRUE(clockSlotField(1, now, &field, &memory24));
    EXPECT_EQ(memory12, memory24);
    EXPECT_EQ(field, 13);
    ASSERT_TRUE(clockSlotField(7, now, &field, &memory12));
    ASSERT_TRUE(clockSlotField(2, now, &field, &memory24));
    EXPECT_EQ(memory12, memory24);
    EXPECT_FALSE(clockSlotField(0, now, &field, &memory12));
    EXPECT_FALSE(clockSlotField(9, now, &field, &memory12));
}

TEST(ClockDigits, ExpiryWatchesTheSlotsField) {
    struct tm now = timeOfDay(13, 45, 30);
    const int32_t watched[9] = {0, 13, 13, 45, 45, 30, 13, 13, 13};
    for (int32_t slot = 1; slot <= 8; slot++) {
        int32_t field = -1;
        ASSERT_TRUE(clockExpiryField(clockExpirySelector(slot), now, &field));
        EXPECT_EQ(field, watched[slot]) << "slot " << slot;
    }
    int32_t field;
    EXPECT_FALSE(clockExpiryField(0, now, &field));
    EXPECT_FALSE(clockExpiryField(6, now, &field));
}

TEST(ClockHands, AnglesTurnClockwiseWithoutWrapping) {
    int32_t angle = 0;
    ASSERT_TRUE(clockHandAngle(3, timeOfDay(23, 59, 0), &angle));
    EXPECT_EQ(angle, -719);
    ASSERT_TRUE(clockHandAngle(3, timeOfDay(12, 0, 0), &angle));
    EXPECT_EQ(angle, -360);
    ASSERT_TRUE(clockHandAngle(3, timeOfDay(0, 1, 0), &angle));
    EXPECT_EQ(angle, 0);  // one degree every two minutes
    ASSERT_TRUE(clockHandAngle(2, timeOfDay(0, 59, 0), &angle));
    EXPECT_EQ(angle, -354);
    ASSERT_TRUE(clockHandAngle(1, timeOfDay(0, 0, 45), &angle));
    EXPECT_EQ(angle, -270);
    EXPECT_FALSE(clockHandAngle(0, timeOfDay(1, 2, 3), &angle));
    EXPECT_FALSE(clockHandAngle(4, timeOfDay(1, 2, 3), &angle));
}

static time_t after2038(time_t* out) {
    time_t t = (time_t)2208988800LL;  // 2040-01-01 00:00:00 UTC
    if (out) *out = t;
    return t;
}

TEST(TimeSnapshot, ReadsDatesPast2038) {
    ASSERT_GE(sizeof(time_t), 8u);
    time_t (*saved)(time_t*) = readWallClock;
    readWallClock = after2038;
    refreshTimeSnapshot();
    readWallClock = saved;
    EXPECT_EQ(clockTime, (time_t)2208988800LL);
    EXPECT_GE(localNow.tm_year + 1900, 2039);  // 1 January 2040 UTC in any zone
}
