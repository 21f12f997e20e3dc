#include "platform/power_source.h"

#include <windows.h>

bool onBatteryPower() {
    SYSTEM_POWER_STATUS status;
    if (!GetSystemPowerStatus(&status)) return false;
    // The fourth byte is SystemStatusFlag (Windows 10 and later; older headers call it Reserved1):
    // 1 while the battery saver is on, which asks programs to use less just as a battery does.
    BYTE batterySaver = ((const BYTE*)&status)[3];
    return status.ACLineStatus == 0 || batterySaver == 1;
}
