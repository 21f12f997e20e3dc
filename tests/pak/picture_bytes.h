#pragma once
// Small test pictures: solid-colour BMP files made with SDL, and an RGBA PNG written by hand.
#include <SDL/SDL.h>

#include <cstdint>
#include <vector>

// A 24-bit BMP (rows padded to 4 bytes on disk and in the decoded surface) or, with paletted, an
// 8-bit one, every pixel of colour (r, g, b).
inline std::vector<uint8_t> solidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b, bool paletted = false) {
    SDL_Surface* s = paletted ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0)
                              : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    if (paletted) {
        SDL_Color colors[2] = {{0, 0, 0, 0}, {r, g, b, 0}};
        SDL_SetColors(s, colors, 0, 2);
        SDL_FillRect(s, nullptr, 1);
    } else {
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b));
    }
    std::vector<uint8_t> buffer(2048 + (size_t)w * h * 4);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), (int)buffer.size());
    SDL_SaveBMP_RW(s, rw, 0);
    buffer.resize((size_t)SDL_RWtell(rw));
    SDL_RWclose(rw);
    SDL_FreeSurface(s);
    return buffer;
}

namespace png_detail {
inline uint32_t crc(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFF;
    for (size_t i = 0; i < n; i++) {
        c ^= p[i];
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
    }
    return ~c;
}
inline void putBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 3; i >= 0; i--) out.push_back((uint8_t)(v >> (8 * i)));
}
inline void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putBe32(out, (uint32_t)data.size());
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    putBe32(out, crc(body.data(), body.size()));
}
}  // namespace png_detail

// A w x h RGBA PNG (colour type 6), every pixel (r, g, b, a); the pixels go in one stored zlib block.
inline std::vector<uint8_t> solidPng(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    using namespace png_detail;
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; y++) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < w; x++) {
            const uint8_t px[4] = {r, g, b, a};
            raw.insert(raw.end(), px, px + 4);
        }
    }
    uint32_t s1 = 1, s2 = 0;
    for (size_t i = 0; i < raw.size(); i++) {
        s1 = (s1 + raw[i]) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    std::vector<uint8_t> z = {0x78,
                              0x01,
                              1,
                              (uint8_t)raw.size(),
                              (uint8_t)(raw.size() >> 8),
                              (uint8_t)~raw.size(),
                              (uint8_t)(~raw.size() >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    putBe32(z, s2 << 16 | s1);
    std::vector<uint8_t> header;
    putBe32(header, (uint32_t)w);
    putBe32(header, (uint32_t)h);
    const uint8_t rest[5] = {8, 6, 0, 0, 0};
    header.insert(header.end(), rest, rest + 5);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}
