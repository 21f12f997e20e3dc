#include "effects/effect_textures.h"

// Placeholder until the generators land: no effect texture is made.
EffectTextures::~EffectTextures() {}
uint32_t EffectTextures::getEffectTexture(const char*) { return 0; }
void EffectTextures::releaseEffectTexture(const char*) {}
void EffectTextures::updateEffectTextures() {}
void effectTrackCallback(int32_t) {}
