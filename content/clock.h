#pragma once
#include <cstdint>
#include <ctime>

// The clock in the overlay: an analogue dial with hands, or a digital readout (12 or 24 hours).
// Models come from "clock.pak".

// Track callbacks.
void buildAnalogClock(int32_t arg);   // once, on the carrier
void turnClockHand(int32_t arg);      // selector 1 second, 2 minute, 3 hour hand
void buildDigitalClock(int32_t arg);  // once, on the carrier; selector 0 12-hour, 1 24-hour
void spawnClockDigit(int32_t arg);    // selector 1 to 8 names the slot
void expireWithTime(int32_t arg);     // selector 1/2 hour, 3/4 minute, 5 second; intParam2 the shown value

// The wall clock the clock and the calendar read, and its conversion to the time of day shown
// (localtime); the offscreen renderer and tests replace them.
extern time_t (*readWallClock)(time_t*);
extern struct tm* (*convertWallClock)(const time_t*);
// The clock's and calendar's shared time snapshot.
extern time_t clockTime;
extern struct tm localNow;
// Reads the wall clock into clockTime and localNow (full-width time_t, so it runs past 2038).
// When the conversion fails localNow keeps the last good time; false while there has been none.
bool refreshTimeSnapshot();
// Forgets the snapshot: until the next good reading the clock is blank and the calendar has no page.
void forgetTimeSnapshot();

// Remembered fields of the digital slots: tens hour, units hour, tens minute, units minute,
// colon second, am/pm hour. -1 makes the next call of every slot produce a digit.
extern int32_t clockRemembered[6];
void forgetClockDigits();

// Angle in degrees of a hand, clockwise negative and not reduced (-719 at 23:59); false for
// a selector other than 1 to 3.
bool clockHandAngle(int32_t selector, const struct tm& now, int32_t* angle);
// The time field a slot shows and the index of its remembered value; false for selectors outside 1 to 8.
bool clockSlotField(int32_t selector, const struct tm& now, int32_t* field, int32_t* memory);
// The model a slot's digit node loads for the field's value, or null for an empty node.
const char* clockDigitModel(int32_t selector, int32_t field);
// The expiry selector of a digit made by a slot: 1 hour, 2 hour, 3 minute, 4 minute, 5 second.
int32_t clockExpirySelector(int32_t slotSelector);
// The field an expiry track watches; false for selectors outside 1 to 5.
bool clockExpiryField(int32_t selector, const struct tm& now, int32_t* field);
