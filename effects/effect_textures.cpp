#include "effects/effect_textures.h"

EffectTextures::~EffectTextures() {}
