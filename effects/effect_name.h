#pragma once
#include <cstdint>

enum EffectKind { EFFECT_PLASMA = 1, EFFECT_FIRE = 2 };
enum { EFFECT_MAX_SIZE = 2048 };  // larger textures are refused, as are sizes below 1

struct EffectName {
    int32_t kind;
    int32_t width;
    int32_t height;
    uint8_t bias[3];  // plasma red, green, blue
};

// Reads "<any><#><effect><w><sep><h>" (Plasma adds three "<sep><n>" colour numbers). False, with *out
// untouched, for an unknown effect, missing or malformed numbers, or a size this program won't serve.
bool parseEffectName(const char* name, EffectName* out);
