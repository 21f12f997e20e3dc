#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ref_table.h"

typedef void (*EffectGenerator)(int32_t time, int32_t width, int32_t height, uint8_t* pixels, void* userData);
typedef void (*UserDataDeleter)(void* userData);

struct EffectTexture {
    EffectGenerator generator;
    void* userData;
    UserDataDeleter userDataDeleter;
    int32_t width;
    int32_t height;
    uint32_t textureId;
    uint8_t* pixels;  // width * height * 4, RGBA rows, row 0 first
    int32_t pixelBytes;
    bool stepped;  // moves one step a run (Fire) instead of following the time (Plasma)
};

// Procedural textures named "?#Plasma<w> <h> <r> <g> <b>" or "?#Fire<w> <h>", shared by exact name.
struct EffectTextures {
    RefTable<EffectTexture*> effects;  // by whole name

    ~EffectTextures();
    uint32_t getEffectTexture(const char* name);  // 0, registering nothing, for names outside the grammar
    void releaseEffectTexture(const char* name);
    void updateEffectTextures(int32_t steps = 1);  // steps: what a stepped texture owes, one upload
};

extern EffectTextures effectTextures;
