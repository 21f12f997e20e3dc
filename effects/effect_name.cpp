#include "effects/effect_name.h"

#include <cstring>

static bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

static bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Decimal integer as stream extraction reads it: white space skipped, optional sign, at least one
// digit; a value out of int32 range fails.
static bool readInt(const char*& p, int32_t* value) {
    while (isSpace(*p)) p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    if (!isDigit(*p)) return false;
    int64_t v = 0;
    while (isDigit(*p)) {
        v = v * 10 + (*p - '0');
        if (v > (int64_t)INT32_MAX + 1) return false;
        p++;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return false;
    *value = (int32_t)v;
    return true;
}

// One separator character, whatever it is; the end of the name is not one.
static bool skipSeparator(const char*& p) {
    if (*p == '\0') return false;
    p++;
    return true;
}

static bool servableSize(const EffectName& e) {
    if (e.width < 1 || e.height < 1 || e.width > EFFECT_MAX_SIZE || e.height > EFFECT_MAX_SIZE) return false;
    // The fire's spark row is picked modulo height / 2.
    return e.kind != EFFECT_FIRE || e.height >= 2;
}

bool parseEffectName(const char* name, EffectName* out) {
    if (!name || name[0] == '\0' || name[1] == '\0') return false;
    const char* effect = name + 2;
    const char* p = effect;
    while (*p && !isDigit(*p)) p++;
    size_t effectLength = (size_t)(p - effect);
    EffectName e = {};
    if (effectLength == 6 && memcmp(effect, "Plasma", 6) == 0) {
        e.kind = EFFECT_PLASMA;
    } else if (effectLength == 4 && memcmp(effect, "Fire", 4) == 0) {
        e.kind = EFFECT_FIRE;
    } else {
        return false;
    }
    if (!readInt(p, &e.width) || !skipSeparator(p) || !readInt(p, &e.height)) return false;
    if (e.kind == EFFECT_PLASMA) {
        for (int i = 0; i < 3; i++) {
            int32_t colour = 0;
            if (!skipSeparator(p) || !readInt(p, &colour)) return false;
            e.bias[i] = (uint8_t)(colour & 0xFF);
        }
    }
    if (!servableSize(e)) return false;
    *out = e;
    return true;
}
