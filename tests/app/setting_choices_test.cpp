#include "app/setting_choices.h"

#include <gtest/gtest.h>

#include <cstring>

// The record's flags in the file's order of the clock and calendar fields, then the two others.
struct Flags {
    bool showClock, analogClock, clock24Hours, largeClock, showCalendar, russianCalendar, showFrameRate,
        mouseMoveEnds;
};

static SaverSettings recordWith(const Flags& f) {
    SaverSettings s = defaultSettings();
    s.showClock = f.showClock;
    s.analogClock = f.analogClock;
    s.clock24Hours = f.clock24Hours;
    s.largeClock = f.largeClock;
    s.showCalendar = f.showCalendar;
    s.russianCalendar = f.russianCalendar;
    s.showFrameRate = f.showFrameRate;
    s.mouseMoveEnds = f.mouseMoveEnds;
    s.reservedValue = 0x01020304;  // not shown by any choice: must survive every write
    s.resolutionIndex = 5;
    return s;
}

static void expectSameFile(const SaverSettings& expected, const SaverSettings& seen) {
    uint8_t a[SETTINGS_FILE_SIZE], b[SETTINGS_FILE_SIZE];
    encodeSettings(expected, a);
    encodeSettings(seen, b);
    for (int i = 0; i < SETTINGS_FILE_SIZE; i++) EXPECT_EQ(a[i], b[i]) << "file byte " << i;
}

TEST(SettingChoices, EachRecordShowsAsTheChoicesItStandsFor) {
    struct Case {
        Flags record;
        ClockChoice clock;
        ClockSizeChoice size;
        CalendarChoice calendar;
    };
    const Case cases[] = {
        // clock, analog, 24-hour, large, calendar, russian, frame rate, mouse
        {{1, 0, 0, 1, 1, 0, 0, 0}, CLOCK_DIGITAL_12, CLOCK_LARGE, CALENDAR_DEFAULT},
        {{1, 0, 1, 0, 1, 1, 1, 1}, CLOCK_DIGITAL_24, CLOCK_SMALL, CALENDAR_RUSSIAN},
        {{1, 1, 0, 1, 0, 0, 0, 1}, CLOCK_ANALOG, CLOCK_LARGE, CALENDAR_NONE},
        // The old dialog could tick both: the saver draws the dial.
        {{1, 1, 1, 1, 1, 0, 0, 0}, CLOCK_ANALOG, CLOCK_LARGE, CALENDAR_DEFAULT},
        // A hidden clock or calendar shows as none, whatever style it keeps.
        {{0, 1, 1, 0, 0, 1, 0, 0}, CLOCK_NONE, CLOCK_SMALL, CALENDAR_NONE},
        {{0, 0, 1, 1, 1, 1, 1, 0}, CLOCK_NONE, CLOCK_LARGE, CALENDAR_RUSSIAN},
    };
    for (const Case& c : cases) {
        SaverSettings record = recordWith(c.record);
        SettingChoices shown = settingChoices(record);
        SCOPED_TRACE(testing::Message() << "clock " << c.clock << " calendar " << c.calendar);
        EXPECT_EQ(c.clock, shown.clock);
        EXPECT_EQ(c.size, shown.clockSize);
        EXPECT_EQ(c.calendar, shown.calendar);
        EXPECT_EQ(c.record.showFrameRate, shown.showFrameRate);
        EXPECT_EQ(c.record.mouseMoveEnds, shown.mouseMoveEnds);
        EXPECT_EQ(5u, shown.resolutionIndex);
    }
}

// A file written by the old dialog, any of its flags, opened and closed with OK: the same bytes.
TEST(SettingChoices, ChoicesLeftAsShownWriteEveryRecordBackUnchanged) {
    for (int bits = 0; bits < 256; bits++) {
        Flags f = {(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0,  (bits & 8) != 0,
                   (bits & 16) != 0, (bits & 32) != 0, (bits & 64) != 0, (bits & 128) != 0};
        SaverSettings record = recordWith(f);
        SaverSettings written = record;
        applySettingChoices(settingChoices(record), &written);
        SCOPED_TRACE(bits);
        expectSameFile(record, written);
    }
}

TEST(SettingChoices, EachChoiceWritesOnlyTheFieldsItStandsFor) {
    const Flags plain = {1, 0, 0, 1, 1, 0, 0, 0};
    const Flags analog24 = {1, 1, 1, 1, 1, 1, 0, 0};  // and the Russian calendar
    const Flags bothHidden = {0, 1, 1, 0, 0, 1, 0, 0};
    struct Case {
        Flags before;
        SettingChoices picked;  // frame rate, mouse, resolution last
        Flags after;
    };
    const Case cases[] = {
        {plain, {CLOCK_DIGITAL_24, CLOCK_LARGE, CALENDAR_DEFAULT, 0, 0, 5}, {1, 0, 1, 1, 1, 0, 0, 0}},
        {plain, {CLOCK_ANALOG, CLOCK_SMALL, CALENDAR_RUSSIAN, 1, 1, 9}, {1, 1, 0, 0, 1, 1, 1, 1}},
        {plain, {CLOCK_NONE, CLOCK_LARGE, CALENDAR_NONE, 0, 0, 0}, {0, 0, 0, 1, 0, 0, 0, 0}},
        // Picking a digital clock clears both the dial and the 24-hour flag it does not want.
        {analog24, {CLOCK_DIGITAL_12, CLOCK_LARGE, CALENDAR_DEFAULT, 0, 0, 5}, {1, 0, 0, 1, 1, 0, 0, 0}},
        // Hiding keeps the style, so showing again brings back what was there.
        {analog24, {CLOCK_NONE, CLOCK_SMALL, CALENDAR_NONE, 0, 0, 5}, {0, 1, 1, 0, 0, 1, 0, 0}},
        {bothHidden, {CLOCK_ANALOG, CLOCK_SMALL, CALENDAR_RUSSIAN, 0, 0, 5}, {1, 1, 1, 0, 1, 1, 0, 0}},
        {bothHidden, {CLOCK_DIGITAL_24, CLOCK_LARGE, CALENDAR_DEFAULT, 0, 0, 5}, {1, 0, 1, 1, 1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SaverSettings record = recordWith(c.before);
        applySettingChoices(c.picked, &record);
        SaverSettings expected = recordWith(c.after);
        expected.resolutionIndex = c.picked.resolutionIndex;
        SCOPED_TRACE(testing::Message() << "clock " << c.picked.clock << " calendar " << c.picked.calendar);
        expectSameFile(expected, record);
    }
}
