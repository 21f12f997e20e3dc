#include "tools/assets/art_image.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstring>

#include "pak/archive.h"
#include "pak/png_writer.h"

void ArtImage::initImage(int32_t w, int32_t h, double left, double bottom, double right, double top) {
    width = w;
    height = h;
    unitLeft = left;
    unitTop = top;
    unitWidth = right - left;
    unitHeight = top - bottom;
    rgba.assign((size_t)w * (size_t)h * 4, 0.0f);
}

// "Over" compositing in straight alpha.
void ArtImage::blendPixel(int32_t px, int32_t py, const float colour[4], double coverage) {
    if (px < 0 || py < 0 || px >= width || py >= height || coverage <= 0.0) return;
    float* p = &rgba[((size_t)py * (size_t)width + (size_t)px) * 4];
    const double a = colour[3] * (coverage > 1.0 ? 1.0 : coverage);
    const double outA = a + p[3] * (1.0 - a);
    if (outA <= 0.0) return;
    for (int i = 0; i < 3; i++) p[i] = (float)((colour[i] * a + p[i] * p[3] * (1.0 - a)) / outA);
    p[3] = (float)outA;
}

static double clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

void fillShape(ArtImage* image, DistanceFunction distance, const void* shape, const float colour[4]) {
    const double pixel = 1.0 / image->pixelsPerUnit();
    for (int32_t y = 0; y < image->height; y++)
        for (int32_t x = 0; x < image->width; x++) {
            const double d = distance(image->unitX(x), image->unitY(y), shape);
            image->blendPixel(x, y, colour, clamp01(0.5 - d / pixel));
        }
}

void strokeShape(ArtImage* image, DistanceFunction distance, const void* shape, double lineWidth,
                 const float colour[4]) {
    const double pixel = 1.0 / image->pixelsPerUnit();
    for (int32_t y = 0; y < image->height; y++)
        for (int32_t x = 0; x < image->width; x++) {
            const double d = std::fabs(distance(image->unitX(x), image->unitY(y), shape)) - lineWidth * 0.5;
            image->blendPixel(x, y, colour, clamp01(0.5 - d / pixel));
        }
}

void glowShape(ArtImage* image, DistanceFunction distance, const void* shape, double radius,
               const float colour[4]) {
    for (int32_t y = 0; y < image->height; y++)
        for (int32_t x = 0; x < image->width; x++) {
            const double d = distance(image->unitX(x), image->unitY(y), shape);
            const double k = d <= 0.0 ? 1.0 : std::exp(-(d / radius) * (d / radius));
            image->blendPixel(x, y, colour, k);
        }
}

double roundedRectDistance(double x, double y, const void* shape) {
    const RoundedRect* r = (const RoundedRect*)shape;
    const double cx = (r->left + r->right) * 0.5, cy = (r->bottom + r->top) * 0.5;
    const double hx = (r->right - r->left) * 0.5 - r->radius, hy = (r->top - r->bottom) * 0.5 - r->radius;
    const double qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const double ox = qx > 0.0 ? qx : 0.0, oy = qy > 0.0 ? qy : 0.0;
    const double inside = qx > qy ? qx : qy;
    return std::sqrt(ox * ox + oy * oy) + (inside < 0.0 ? inside : 0.0) - r->radius;
}

double circleDistance(double x, double y, const void* shape) {
    const Circle* c = (const Circle*)shape;
    return std::hypot(x - c->x, y - c->y) - c->radius;
}

double segmentDistance(double x, double y, const void* shape) {
    const Segment* s = (const Segment*)shape;
    const double dx = s->x1 - s->x0, dy = s->y1 - s->y0;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? ((x - s->x0) * dx + (y - s->y0) * dy) / lengthSquared : 0.0;
    t = clamp01(t);
    return std::hypot(x - (s->x0 + t * dx), y - (s->y0 + t * dy)) - s->halfWidth;
}

void shadeImage(ArtImage* image, PixelShader shader, const void* data) {
    for (int32_t y = 0; y < image->height; y++)
        for (int32_t x = 0; x < image->width; x++) {
            float colour[4] = {0, 0, 0, 0};
            shader(image->unitX(x), image->unitY(y), colour, data);
            float* p = &image->rgba[((size_t)y * (size_t)image->width + (size_t)x) * 4];
            for (int i = 0; i < 4; i++) p[i] = colour[i];
        }
}

bool encodePicture(const ArtImage& image, std::vector<uint8_t>* png) {
    std::vector<uint8_t> pixels(image.rgba.size());
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = (uint8_t)std::lround(clamp01(image.rgba[i]) * 255.0);
    // Fully transparent pixels still blend in at linear filtering: give them their neighbours'
    // colour instead of black so edges do not darken.
    for (int32_t y = 0; y < image.height; y++)
        for (int32_t x = 0; x < image.width; x++) {
            uint8_t* p = &pixels[((size_t)y * (size_t)image.width + (size_t)x) * 4];
            if (p[3] != 0) continue;
            int best = 0;
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++) {
                    const int32_t nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height) continue;
                    const float* q = &image.rgba[((size_t)ny * (size_t)image.width + (size_t)nx) * 4];
                    const int alpha = (int)(q[3] * 255.0f);
                    if (alpha <= best) continue;
                    best = alpha;
                    for (int i = 0; i < 3; i++) p[i] = (uint8_t)std::lround(clamp01(q[i]) * 255.0);
                }
        }
    return encodePng(pixels.data(), image.width, image.height, png);
}

bool addPicture(PakArchive* archive, const std::string& name, const ArtImage& image) {
    std::vector<uint8_t> png;
    if (!encodePicture(image, &png)) return false;
    return archive->addEntry(name, png.data(), (uint32_t)png.size());
}

// --- Text ---

static FT_Library fontLibrary = nullptr;
static std::vector<FT_Face> openFaces;
static std::vector<std::string> openFaceNames;
static const char* const fallbackFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

static FT_Face openFace(const char* path) {
    for (size_t i = 0; i < openFaceNames.size(); i++)
        if (openFaceNames[i] == path) return openFaces[i];
    if (!fontLibrary && FT_Init_FreeType(&fontLibrary) != 0) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(fontLibrary, path, 0, &face) != 0) {
        std::fprintf(stderr, "lumivane_assets: cannot open font %s\n", path);
        return nullptr;
    }
    openFaces.push_back(face);
    openFaceNames.push_back(path);
    return face;
}

void closeFonts() {
    for (size_t i = 0; i < openFaces.size(); i++) FT_Done_Face(openFaces[i]);
    openFaces.clear();
    openFaceNames.clear();
    if (fontLibrary) FT_Done_FreeType(fontLibrary);
    fontLibrary = nullptr;
}

// Next code point of a UTF-8 string (the texts are our own, so only well-formed input occurs).
static uint32_t nextCodePoint(const char*& s) {
    const uint8_t c = (uint8_t)*s++;
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : (c >= 0xE0 ? 2 : 1);
    uint32_t code = c & (0x3F >> extra);
    while (extra-- > 0 && *s) code = (code << 6) | ((uint8_t)*s++ & 0x3F);
    return code;
}

// Pixel size that gives the wanted cap height, from the face's own "H".
static double pixelSizeFor(FT_Face face, double capHeightPixels) {
    if (FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE) != 0) return capHeightPixels / 0.73;
    const double ratio = (double)face->glyph->metrics.height / face->units_per_EM;
    return capHeightPixels / (ratio > 0.0 ? ratio : 0.73);
}

// Walks the text glyph by glyph; with an image, draws each glyph at pen (x, baseline) in pixels.
static double layoutText(ArtImage* image, const char* font, const char* utf8, double penX, double baseline,
                         double pixelSize, const float colour[4]) {
    FT_Face primary = openFace(font);
    FT_Face fallback = openFace(fallbackFont);
    if (!primary || !fallback) return 0.0;
    double pen = penX;
    for (const char* s = utf8; *s;) {
        const uint32_t code = nextCodePoint(s);
        FT_Face face = FT_Get_Char_Index(primary, code) ? primary : fallback;
        FT_Set_Char_Size(face, 0, (FT_F26Dot6)std::lround(pixelSize * 64.0), 72, 72);
        // The fractional pen position goes to FreeType, so spacing matches at any size.
        const double whole = std::floor(pen);
        FT_Vector shift = {(FT_Pos)std::lround((pen - whole) * 64.0), 0};
        FT_Set_Transform(face, nullptr, &shift);
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        if (image) {
            const int32_t left = (int32_t)whole + g->bitmap_left;
            const int32_t top = (int32_t)std::lround(baseline) - g->bitmap_top;
            for (uint32_t row = 0; row < g->bitmap.rows; row++)
                for (uint32_t col = 0; col < g->bitmap.width; col++) {
                    const uint8_t v = g->bitmap.buffer[row * (uint32_t)g->bitmap.pitch + col];
                    image->blendPixel(left + (int32_t)col, top + (int32_t)row, colour, v / 255.0);
                }
        }
        pen += g->advance.x / 64.0;
    }
    return pen - penX;
}

double textWidth(const char* font, const char* utf8, double capHeight) {
    // Measured at a fixed scale (100 pixels a unit) and brought back to units.
    FT_Face face = openFace(font);
    if (!face) return 0.0;
    const double size = pixelSizeFor(face, capHeight * 100.0);
    return layoutText(nullptr, font, utf8, 0.0, 0.0, size, nullptr) / 100.0;
}

bool drawText(ArtImage* image, const char* font, const char* utf8, double x, double baseline,
              double capHeight, bool centred, const float colour[4]) {
    FT_Face face = openFace(font);
    if (!face) return false;
    const double ppu = image->pixelsPerUnit();
    const double size = pixelSizeFor(face, capHeight * ppu);
    double left = x;
    if (centred) left -= textWidth(font, utf8, capHeight) * 0.5;
    const double penX = (left - image->unitLeft) * ppu;
    const double basePixel = (image->unitTop - baseline) * image->height / image->unitHeight;
    layoutText(image, font, utf8, penX, basePixel, size, colour);
    return true;
}

double hashNoise(int32_t x, int32_t y, int32_t seed) {
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + (uint32_t)seed * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0;
}

double smoothNoise(double x, double y, int32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = (int32_t)fx, iy = (int32_t)fy;
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const double a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    const double c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}
