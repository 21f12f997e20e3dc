#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PakArchive;

// A picture being painted: straight-alpha RGBA floats, row 0 at the top. Painting works in
// "units" (the size the picture will have on its quad), so shapes keep their proportions
// whatever the pixel size.
struct ArtImage {
    int32_t width;
    int32_t height;
    double unitLeft, unitTop, unitWidth, unitHeight;  // the quad rectangle the picture covers
    std::vector<float> rgba;

    void initImage(int32_t w, int32_t h, double left, double bottom, double right, double top);
    double unitX(int32_t px) const { return unitLeft + (px + 0.5) * unitWidth / width; }
    double unitY(int32_t py) const { return unitTop - (py + 0.5) * unitHeight / height; }
    double pixelsPerUnit() const { return width / unitWidth; }
    void blendPixel(int32_t px, int32_t py, const float colour[4], double coverage);
};

// Signed distance of a unit-space point to a shape; negative inside.
typedef double (*DistanceFunction)(double x, double y, const void* shape);

// Fills the shape with colour, antialiased over one pixel at its edge.
void fillShape(ArtImage* image, DistanceFunction distance, const void* shape, const float colour[4]);
// Paints a ring of the given width along the shape's outline.
void strokeShape(ArtImage* image, DistanceFunction distance, const void* shape, double lineWidth,
                 const float colour[4]);
// A soft glow: colour with alpha falling off as exp(-(d/radius)^2) outside the shape, full inside.
void glowShape(ArtImage* image, DistanceFunction distance, const void* shape, double radius,
               const float colour[4]);

struct RoundedRect {
    double left, bottom, right, top, radius;
};
double roundedRectDistance(double x, double y, const void* shape);
struct Circle {
    double x, y, radius;
};
double circleDistance(double x, double y, const void* shape);
struct Segment {
    double x0, y0, x1, y1, halfWidth;
};
double segmentDistance(double x, double y, const void* shape);

// Every pixel handed to a shader with its unit coordinates; the shader writes its colour.
typedef void (*PixelShader)(double x, double y, float out[4], const void* data);
void shadeImage(ArtImage* image, PixelShader shader, const void* data);

// The picture as a 32-bit RGBA PNG, rounded to 8 bits; false when encoding fails.
bool encodePicture(const ArtImage& image, std::vector<uint8_t>* png);
// Adds the picture as a 32-bit RGBA PNG entry; false when encoding or adding fails.
bool addPicture(PakArchive* archive, const std::string& name, const ArtImage& image);

// Text drawn with FreeType. font is a file of the DejaVu family; capHeight is the height of a
// capital letter in units; x is the left end, or the centre when centred is set.
bool drawText(ArtImage* image, const char* font, const char* utf8, double x, double baseline,
              double capHeight, bool centred, const float colour[4]);
double textWidth(const char* font, const char* utf8, double capHeight);  // in units; 0 on failure
void closeFonts();
// Deterministic noise in [0, 1) for a lattice point and its smooth interpolation.
double hashNoise(int32_t x, int32_t y, int32_t seed);
double smoothNoise(double x, double y, int32_t seed);
