#include "app/setting_choices.h"

SettingChoices settingChoices(const SaverSettings& s) {
    SettingChoices c;
    if (!s.showClock)
        c.clock = CLOCK_NONE;
    else if (s.analogClock)
        c.clock = CLOCK_ANALOG;  // the saver draws the dial whatever the 24-hour flag says
    else
        c.clock = s.clock24Hours ? CLOCK_DIGITAL_24 : CLOCK_DIGITAL_12;
    c.clockSize = s.largeClock ? CLOCK_LARGE : CLOCK_SMALL;
    if (!s.showCalendar)
        c.calendar = CALENDAR_NONE;
    else
        c.calendar = s.russianCalendar ? CALENDAR_RUSSIAN : CALENDAR_DEFAULT;
    c.showFrameRate = s.showFrameRate;
    c.mouseMoveEnds = s.mouseMoveEnds;
    c.resolutionIndex = s.resolutionIndex;
    return c;
}

void applyClockChoice(ClockChoice clock, SaverSettings* s) {
    s->showClock = clock != CLOCK_NONE;
    if (clock == CLOCK_ANALOG) s->analogClock = true;
    if (clock == CLOCK_DIGITAL_12 || clock == CLOCK_DIGITAL_24) {
        s->analogClock = false;
        s->clock24Hours = clock == CLOCK_DIGITAL_24;
    }
}

void applyCalendarChoice(CalendarChoice calendar, SaverSettings* s) {
    s->showCalendar = calendar != CALENDAR_NONE;
    if (calendar != CALENDAR_NONE) s->russianCalendar = calendar == CALENDAR_RUSSIAN;
}

void applySettingChoices(const SettingChoices& c, SaverSettings* s) {
    applyClockChoice(c.clock, s);
    s->largeClock = c.clockSize == CLOCK_LARGE;
    applyCalendarChoice(c.calendar, s);
    s->showFrameRate = c.showFrameRate;
    s->mouseMoveEnds = c.mouseMoveEnds;
    s->resolutionIndex = c.resolutionIndex;
}
