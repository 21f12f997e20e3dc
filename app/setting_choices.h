#pragma once
#include <cstdint>

#include "app/settings.h"

// The settings as a user picks them: one clock choice where the record has three flags, one
// calendar choice where it has two. The enums' order is the order the choices are offered in.
enum ClockChoice { CLOCK_DIGITAL_12, CLOCK_DIGITAL_24, CLOCK_ANALOG, CLOCK_NONE, CLOCK_CHOICE_COUNT };
enum ClockSizeChoice { CLOCK_LARGE, CLOCK_SMALL, CLOCK_SIZE_CHOICE_COUNT };
enum CalendarChoice { CALENDAR_DEFAULT, CALENDAR_RUSSIAN, CALENDAR_NONE, CALENDAR_CHOICE_COUNT };

struct SettingChoices {
    ClockChoice clock;
    ClockSizeChoice clockSize;  // means nothing while clock is CLOCK_NONE
    CalendarChoice calendar;
    bool showFrameRate;
    bool mouseMoveEnds;
    uint32_t resolutionIndex;
};

// What the record shows: a combination no single choice stands for (an analogue clock with the
// 24-hour flag, a hidden clock's style) shows as what the saver draws for it.
SettingChoices settingChoices(const SaverSettings& settings);
// Writes each choice into the fields it stands for, and only those: a choice left as
// settingChoices gave it leaves the record exactly as it was, and hiding the clock or the
// calendar keeps its style for when it is shown again.
void applySettingChoices(const SettingChoices& choices, SaverSettings* settings);
void applyClockChoice(ClockChoice clock, SaverSettings* settings);
void applyCalendarChoice(CalendarChoice calendar, SaverSettings* settings);
