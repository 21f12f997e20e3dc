#pragma once

// True only when the machine is known to run on its battery (or the system's battery saver is on);
// anything that cannot be read counts as mains power. Cheap enough to ask every few seconds.
bool onBatteryPower();
// Linux only: the rule over one folder of power supplies laid out as /sys/class/power_supply: mains
// when any supply other than a battery is online, battery when a battery is discharging.
bool batteryInSupplyFolder(const char* folder);
