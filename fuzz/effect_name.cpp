// Effect texture names come from model entries on disk: any bytes may reach the parser.
#include "effects/effect_name.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name((const char*)data, size);  // the parser reads up to the first NUL
    EffectName parsed;
    if (parseEffectName(name.c_str(), &parsed)) {
        bool sane = parsed.width >= 1 && parsed.width <= EFFECT_MAX_SIZE && parsed.height >= 1 &&
                    parsed.height <= EFFECT_MAX_SIZE &&
                    (parsed.kind == EFFECT_PLASMA || parsed.kind == EFFECT_FIRE);
        if (!sane) __builtin_trap();
    }
    return 0;
}
