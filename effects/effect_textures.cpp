#include "effects/effect_textures.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "effects/effect_name.h"
#include "effects/fire.h"
#include "effects/plasma.h"
#include "platform/frame_ticks.h"

static void freeBytes(void* userData) {
    delete[](uint8_t*) userData;
}

static void freeFire(void* userData) {
    freeFireState((FireState*)userData);
}

// The pixels start transparent black; the first update gives them their picture.
static EffectTexture* newEffectTexture(EffectGenerator generator, UserDataDeleter deleter, void* userData,
                                       int32_t width, int32_t height) {
    EffectTexture* texture = new EffectTexture();
    texture->generator = generator;
    texture->userData = userData;
    texture->userDataDeleter = deleter;
    texture->width = width;
    texture->height = height;
    texture->pixelBytes = width * height * 4;
    texture->pixels = new uint8_t[(size_t)texture->pixelBytes]();
    glGenTextures(1, &texture->textureId);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture->pixels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

// Frees the CPU side only; the GL texture is deleted by the caller while the context lives.
static void freeEffectTexture(EffectTexture* texture) {
    delete[] texture->pixels;
    texture->userDataDeleter(texture->userData);
    delete texture;
}

// Regenerates the pixels and uploads them into the existing texture object.
static void updateEffectTexture(EffectTexture* texture, int32_t time, int32_t steps) {
    int32_t runs = texture->stepped ? steps : 1;
    for (int32_t i = 0; i < runs; i++)
        texture->generator(time, texture->width, texture->height, texture->pixels, texture->userData);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture->width, texture->height, GL_RGBA, GL_UNSIGNED_BYTE,
                    texture->pixels);
}

static EffectTexture* createEffect(const EffectName& name) {
    if (name.kind == EFFECT_PLASMA) {
        uint8_t* bias = new uint8_t[3];
        memcpy(bias, name.bias, 3);
        return newEffectTexture(plasmaGenerator, freeBytes, bias, name.width, name.height);
    }
    FireState* fire = initFireState(name.width, name.height);
    EffectTexture* texture = newEffectTexture(fireGenerator, freeFire, fire, name.width, name.height);
    texture->stepped = true;
    return texture;
}

// Textures still held at exit lose their memory here; their GL names went with the context.
EffectTextures::~EffectTextures() {
    for (size_t i = 0; i < effects.size(); i++) freeEffectTexture(effects.items[i]);
}

uint32_t EffectTextures::getEffectTexture(const char* name) {
    if (!name) return 0;
    int i = effects.find(name);
    if (i >= 0) return effects.acquire(i)->textureId;
    EffectName parsed;
    if (!parseEffectName(name, &parsed)) return 0;
    EffectTexture* texture = createEffect(parsed);
    effects.add(name, texture);
    return texture->textureId;
}

void EffectTextures::releaseEffectTexture(const char* name) {
    if (!name) return;
    int i = effects.find(name);
    if (i < 0 || !effects.release(i)) return;
    glDeleteTextures(1, &effects.items[i]->textureId);
    freeEffectTexture(effects.items[i]);
    effects.remove(i);
}

// Every texture of one update sees the same time.
void EffectTextures::updateEffectTextures(int32_t steps) {
    int32_t time = (int32_t)frameTicks;
    for (size_t i = 0; i < effects.size(); i++) updateEffectTexture(effects.items[i], time, steps);
}
