#pragma once
// The POSIX UTC conversions the shared calendar tests use, through the CRT's own.
#include <time.h>

inline time_t timegm(struct tm* t) {
    return _mkgmtime(t);
}

inline struct tm* gmtime_r(const time_t* when, struct tm* result) {
    return gmtime_s(result, when) == 0 ? result : nullptr;
}

inline struct tm* localtime_r(const time_t* when, struct tm* result) {
    return localtime_s(result, when) == 0 ? result : nullptr;
}
