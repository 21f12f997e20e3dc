// main.pak: the candles ("svechi"), the things around them ("thinks": table, candle tops and wicks,
// brass dish, a glass of something sparkling), the flame ("plamia"), the bubble ("puzir") and the
// late signature ("nn").
//
// "svechi" and "thinks" share one node placement (rotated -76 degrees about x, scale 0.5), Z up.
// Children of "thinks" are placed in its rotated but unscaled frame, so a child at p sits at 2p in
// these model units: the flames stand on the wick tips below and the bubbles rise from the bottom
// of the glass.
#include <algorithm>
#include <cmath>
#include <string>

#include "content/layout.h"
#include "pak/archive.h"
#include "tools/assets/art_geometry.h"
#include "tools/assets/assets.h"

namespace {

typedef CandlePlace Candle;
const CandlePlace* const candles = candlePlaces;
const double dishRadius = 6.3;

const double glassX = glassPlace.x, glassY = glassPlace.y;
const double drinkBottom = glassPlace.drinkBottom, drinkTop = glassPlace.drinkTop;
// The glass's bowl, inner bottom and drink below are drawn with the drink's bottom at 19.2; the foot
// stays on the table.
const double bowlLift = drinkBottom - 19.2;
// Narrower than first drawn; the bubbles, which drift up to 7 units from the axis, stay inside.
const double glassWidth = 0.85;

const double pi = 3.14159265358979323846;
// Segments around the round things: enough for smooth outlines and highlights at their size on
// screen. The candle's side and top meet at the rim, so they share theirs; so do the glass and
// the drink inside it.
const int32_t candleSegments = 32, glassSegments = 64, dishSegments = 64;

MeshMaterial litMaterial(const float ambient[4], const float diffuse[4], const float specular[4],
                         float shininess) {
    MeshMaterial m = plainMaterial(0, 0, 0, 1);
    for (int i = 0; i < 4; i++) {
        m.ambient[i] = ambient[i];
        m.diffuse[i] = diffuse[i];
        m.specular[i] = specular[i];
    }
    m.shininess = shininess;
    return m;
}

// Value noise that wraps every period cells, for pictures that tile.
double tiledNoise(double x, double y, int32_t periodX, int32_t periodY, int32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    const int32_t x0 = (((int32_t)fx % periodX) + periodX) % periodX,
                  y0 = (((int32_t)fy % periodY) + periodY) % periodY;
    const int32_t x1 = (x0 + 1) % periodX, y1 = (y0 + 1) % periodY;
    const double a = hashNoise(x0, y0, seed), b = hashNoise(x1, y0, seed);
    const double c = hashNoise(x0, y1, seed), d = hashNoise(x1, y1, seed);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// --- Pictures ---

// Candle wax: x is s around the candle, y runs from 0 (foot) to 1 (rim). Warmer and brighter
// towards the rim, where the flame shines through the wax.
void shadeWax(double x, double y, float out[4], const void*) {
    const double streak =
        tiledNoise(x * 24.0, y * 3.0, 24, 1000, 7) * 0.05 + tiledNoise(x * 6.0, y * 1.5, 6, 1000, 3) * 0.05;
    double glow = (y - 0.72) / 0.28;
    glow = glow < 0.0 ? 0.0 : glow * glow;
    const double base[3] = {0.95, 0.9, 0.84}, warm[3] = {1.0, 0.82, 0.6};
    // Darker towards the foot, where little light reaches: the candles settle into the table.
    double foot = y / 0.4;
    foot = foot > 1.0 ? 1.0 : foot * foot * (3.0 - 2.0 * foot);
    const double shade = (0.95 + streak) * (0.3 + 0.7 * foot);
    for (int i = 0; i < 3; i++) out[i] = (float)((base[i] + (warm[i] - base[i]) * glow) * shade);
    out[3] = 1.0f;
}

// Dark polished wood, grain along t; tiles in both directions.
void shadeWood(double x, double y, float out[4], const void*) {
    const double warp = tiledNoise(x * 4.0, y * 2.0, 4, 2, 11) * 3.0;
    const double grain = 0.5 + 0.5 * std::sin((x * 18.0 + warp) * 2.0 * pi / 3.0);
    const double fibre = tiledNoise(x * 64.0, y * 4.0, 64, 4, 5);
    const double shade = 0.78 + 0.14 * grain + 0.08 * fibre;
    out[0] = (float)(0.36 * shade);
    out[1] = (float)(0.22 * shade);
    out[2] = (float)(0.13 * shade);
    out[3] = 1.0f;
}

// The glass is mostly a single blended wall: its foot's flat underside and the inside of its bowl
// above the bottom are left out, and where they were the wall is as dense as the two layers
// together (1 - (1 - a)^2), so the glass looks the same for half the blended pixels there. The
// bowl's inner bottom stays: it catches the flames from above, which the wall below it cannot.
// GlassLayers holds where the count changes, as fractions along the wall's profile from the foot
// (picture y), and the directions the picture is painted for.
struct GlassLayers {
    double footEnd, stemStart;  // two layers up to footEnd, one from stemStart
    double stemEnd, bowlStart;  // one layer up to stemEnd, two from bowlStart
    double facing;              // towards the eye, as an angle about the glass's axis
    double streaks[2];          // where the two short candles' flames reflect towards the eye
};
const double glassLayerAlpha = 0.3;  // one layer where the picture is densest
const float glassAlpha = 0.6f;       // the material's; the picture's alpha is a share of it

double glassLayerCount(const GlassLayers& g, double y) {
    if (y <= g.footEnd) return 2.0;
    if (y < g.stemStart) return 2.0 - (y - g.footEnd) / (g.stemStart - g.footEnd);
    if (y <= g.stemEnd) return 1.0;
    if (y < g.bowlStart) return 1.0 + (y - g.stemEnd) / (g.bowlStart - g.stemEnd);
    return 2.0;
}

// Glass seen from the eye's side: clear where we look through it, denser towards its outline, with
// a bright streak where each flame in front of it reflects. x is s around the glass (angle 2 pi s
// from +x), y runs along the wall from the foot.
void shadeGlass(double x, double y, float out[4], const void* data) {
    const GlassLayers& g = *(const GlassLayers*)data;
    const double angle = 2.0 * pi * x;
    const double edge = std::pow(std::fabs(std::sin(angle - g.facing)), 8.0);
    double shine = 0.0;
    for (double streak : g.streaks) {
        const double d = std::remainder(angle - streak, 2.0 * pi) / 0.07;
        shine = std::fmax(shine, std::exp(-d * d));
    }
    out[0] = 1.0f;
    out[1] = (float)(0.97 - 0.02 * shine);
    out[2] = (float)(0.92 + 0.05 * shine);
    const double density = 0.25 + 0.75 * (edge > shine ? edge : shine);
    const double layers = glassLayerCount(g, y);
    out[3] = (float)((1.0 - std::pow(1.0 - glassLayerAlpha * density, layers)) / glassAlpha);
}

// A soft warm halo around the flame, strongest a little above the wick: an ellipse of half-axes
// 6.5 and 8 about (0, 3.2).
const double haloX = 6.5, haloY = 8.0, haloCentre = 3.2;
void shadeHalo(double x, double y, float out[4], const void*) {
    const double dx = x / haloX, dy = (y - haloCentre) / haloY;
    const double r2 = dx * dx + dy * dy;
    out[0] = 1.0f;
    out[1] = 0.62f;
    out[2] = 0.28f;
    out[3] = (float)(0.3 * std::exp(-r2 * 3.0));
}

// The steady bright heart of the flame: white-yellow above a small blue base.
void shadeCore(double x, double y, float out[4], const void*) {
    const double dx = x / 1.0, dy = (y - 2.9) / (y > 2.9 ? 4.6 : 2.9);
    const double r = std::sqrt(dx * dx + dy * dy);
    double body = 1.0 - r;
    body = body < 0.0 ? 0.0 : (body > 0.35 ? 1.0 : body / 0.35);
    const double bx = x / 1.0, by = (y + 0.1) / 0.9;
    double blue = 1.0 - std::sqrt(bx * bx + by * by);
    blue = blue < 0.0 ? 0.0 : blue;
    const double whiteness = std::exp(-((y - 1.8) * (y - 1.8)) / 4.0);
    const double r0 = 1.0, g0 = 0.82 + 0.16 * whiteness, b0 = 0.45 + 0.45 * whiteness;
    const double a = body * 0.92;
    const double ab = blue * 0.7;
    const double alpha = a + ab * (1.0 - a);
    if (alpha <= 0.0) return;
    out[0] = (float)((r0 * a + 0.35 * ab * (1.0 - a)) / alpha);
    out[1] = (float)((g0 * a + 0.5 * ab * (1.0 - a)) / alpha);
    out[2] = (float)((b0 * a + 1.0 * ab * (1.0 - a)) / alpha);
    out[3] = (float)alpha;
}

// A bubble: a thin rim that is bright on the side facing the nearest flame (to the right of the
// glass, so towards +x on the billboard), a clear middle and a glint on the same side.
void shadeBubble(double x, double y, float out[4], const void*) {
    const double r = std::sqrt(x * x + y * y) / 5.0;
    if (r > 1.0) return;
    double rim = (r - 0.6) / 0.4;
    rim = rim < 0.0 ? 0.0 : rim * rim;
    const double edge = r > 0.9 ? (1.0 - r) / 0.1 : 1.0;
    const double facing = r > 0.0 ? (x * 0.94 + y * 0.34) / (r * 5.0) : 0.0;
    const double lit = 0.12 + 0.88 * (facing > 0.0 ? facing : 0.0);
    const double gx = (x - 2.0) / 1.0, gy = (y - 1.6) / 1.0;
    const double glint = std::exp(-(gx * gx + gy * gy));
    out[0] = 1.0f;
    out[1] = 0.95f;
    out[2] = 0.85f;
    const double alpha = (0.05 + 0.85 * rim * lit) * edge + glint;
    out[3] = (float)(alpha > 1.0 ? 1.0 : alpha);
}

bool addShadedPicture(PakArchive* archive, const char* name, int32_t w, int32_t h, double left, double bottom,
                      double right, double top, PixelShader shader) {
    ArtImage image;
    image.initImage(w, h, left, bottom, right, top);
    shadeImage(&image, shader, nullptr);
    return addPicture(archive, name, image);
}

// --- Models ---

// Segments of each round thing in the models for one screen height (0: the full models). The
// candle's side and top, and the glass and the drink, keep sharing theirs.
struct Detail {
    int32_t candle[3];
    int32_t glass;
    int32_t dish;
};

double nearestDepth(double y, double zLow, double zHigh) {
    return std::fmin(modelEyeDepth(y, zLow), modelEyeDepth(y, zHigh));
}

Detail detailFor(int32_t rows) {
    Detail d;
    for (int i = 0; i < 3; i++)
        d.candle[i] = latheSegments(candleSegments, candles[i].radius,
                                    nearestDepth(candles[i].y, candles[i].base, candles[i].top), rows);
    d.glass =
        latheSegments(glassSegments, 9.8 * glassWidth, nearestDepth(glassY, 0.0, 37.2 + bowlLift), rows);
    d.dish = latheSegments(dishSegments, dishRadius, nearestDepth(candles[2].y, 0.0, 1.8), rows);
    return d;
}

// Where the viewer stands in these model units (the camera at the eye origin, through the shared
// placement), and the turn about a point at (x, y) that faces it.
const double viewerX = -8.0, viewerY = -108.2;
double facingTurn(double x, double y) {
    return std::atan2(viewerY - y, viewerX - x) / (2.0 * pi);
}

// The wax sides of one candle, foot to rim, with a rounded shoulder. The upright part is seen
// only from the viewer's side, out to about 85 degrees either way at these distances: its back
// would be drawn only to be hidden. The shoulder leans back and shows all round from above.
void addCandleSide(MeshBuild* mesh, const Candle& c, int32_t segments) {
    const double r[5] = {c.radius, c.radius, c.radius - 0.05, c.radius - 0.2, c.radius - 0.45};
    const double z[5] = {c.base, c.top - 0.6, c.top - 0.3, c.top - 0.1, c.top};
    const LatheProfile profile = {r, z, 5, 1.0, 0.0, false};
    // Whole segments of the full turn, so the front meets the shoulder's edges exactly. The sway
    // swings the viewer up to 7 units sideways about a point 200 units off, which turns the
    // nearest candle's outline by up to 8 degrees: 108 degrees either way cover it.
    const double facing = facingTurn(c.x, c.y);
    const double from = std::floor((facing - 0.3) * segments) / segments;
    const double to = std::ceil((facing + 0.3) * segments) / segments;
    addLatheBands(mesh, c.x, c.y, profile, 0, 2, from, to, (int32_t)std::lround((to - from) * segments));
    addLatheBands(mesh, c.x, c.y, profile, 2, 4, 0.0, 1.0, segments);
}

// Wax that ran down the side: slim vertical beads half sunk into the candle, thicker at the foot
// of the run, set by a fixed pattern so every build makes the same candles. Only the outer side
// of a bead is built: the rest is inside the wax. Beads on the far side of the candle, which the
// viewer never sees, are left out.
void addDrips(MeshBuild* mesh, const Candle& c, int32_t count, double longest, int32_t seed) {
    for (int32_t i = 0; i < count; i++) {
        const double angle = 2.0 * pi * hashNoise(i, 1, seed);
        if (std::fabs(std::remainder(angle / (2.0 * pi) - facingTurn(c.x, c.y), 1.0)) > 0.3) continue;
        const double length = longest * (0.35 + 0.65 * hashNoise(i, 2, seed));
        const double width = 0.32 + 0.18 * hashNoise(i, 3, seed);
        const double x = c.x + (c.radius - 0.12) * std::cos(angle),
                     y = c.y + (c.radius - 0.12) * std::sin(angle);
        const double top = c.top - 0.15, bottom = top - length;
        const double r[6] = {0.0, width * 0.8, width, width * 0.75, width * 0.55, 0.0};
        const double z[6] = {
            bottom, bottom + width * 0.5, bottom + width * 1.6, bottom + length * 0.55, top - 0.1, top};
        const LatheProfile profile = {r, z, 6, 0.12, 0.02, false};
        const double turn = angle / (2.0 * pi);
        addLatheArc(mesh, x, y, profile, turn - 0.3, turn + 0.3, 5);
    }
}

// The dished top of the candle, where the wax melts around the wick.
void addCandleTop(MeshBuild* mesh, const Candle& c, int32_t segments) {
    const double r[4] = {c.radius - 0.45, c.radius - 1.1, 1.2, 0.0};
    const double z[4] = {c.top, c.top - 0.25, c.top - 0.55, c.top - 0.6};
    const LatheProfile profile = {r, z, 4, 0.02, 0.0, false};
    addLathe(mesh, c.x, c.y, profile, segments);
}

void addWick(MeshBuild* mesh, const Candle& c) {
    const double r[4] = {0.24, 0.22, 0.18, 0.0};
    const double z[4] = {c.top - 0.6, c.wickTip - 0.6, c.wickTip + 0.3, c.wickTip + 0.35};
    const LatheProfile profile = {r, z, 4, 0.0, 1.0, false};
    addLathe(mesh, c.x, c.y, profile, 6);
}

bool addCandles(PakArchive* archive, const std::string& name, const Detail& detail) {
    // Light 5 is a strong yellow: a neutral ambient share and a bluish diffuse keep the wax ivory.
    const float ambient[4] = {0.9f, 0.85f, 0.82f, 1.0f};
    const float diffuse[4] = {0.62f, 0.6f, 0.78f, 1.0f};
    const float specular[4] = {0.35f, 0.33f, 0.3f, 1.0f};
    std::vector<MeshBuild> meshes(1);
    meshes[0].initMeshBuild("vosk.png", litMaterial(ambient, diffuse, specular, 10.0f));
    for (int i = 0; i < 3; i++) addCandleSide(&meshes[0], candles[i], detail.candle[i]);
    addDrips(&meshes[0], candles[0], 4, 3.5, 21);
    addDrips(&meshes[0], candles[1], 5, 9.0, 22);
    addDrips(&meshes[0], candles[2], 3, 3.0, 23);
    return addModel(archive, name, meshes);
}

// The glass wall from the edge of its foot up to the rim: foot (points 0 to 3), stem (4 to 7),
// bowl (9 on; the inner bottom reaches the wall at point 11). The bowl's curve has a point
// between every two of its outline's, so no kinks show on a 4K screen.
const double glassR[19] = {6.5 * glassWidth,   6.8 * glassWidth, 6.3 * glassWidth,   1.5 * glassWidth,
                           0.9 * glassWidth,   0.8 * glassWidth, 1.1 * glassWidth,   3.4 * glassWidth,
                           4.919 * glassWidth, 6.4 * glassWidth, 7.538 * glassWidth, 8.4 * glassWidth,
                           8.9 * glassWidth,   9.2 * glassWidth, 9.437 * glassWidth, 9.6 * glassWidth,
                           9.725 * glassWidth, 9.8 * glassWidth, 9.8 * glassWidth};
// The foot stays on the table; from the stem's top up, the glass follows the drink.
const double glassZ[19] = {0.05,
                           0.3,
                           0.6,
                           1.6,
                           3.0,
                           12.0 + bowlLift,
                           15.0 + bowlLift,
                           17.0 + bowlLift,
                           17.7 + bowlLift,
                           18.4 + bowlLift,
                           19.262 + bowlLift,
                           20.4 + bowlLift,
                           21.95 + bowlLift,
                           24.0 + bowlLift,
                           26.788 + bowlLift,
                           30.0 + bowlLift,
                           33.862 + bowlLift,
                           37.0 + bowlLift,
                           37.2 + bowlLift};
const LatheProfile glassWall = {glassR, glassZ, 19, 1.0, 0.0, false};

// The direction of a point on the table as seen from the glass's axis.
double azimuthFromGlass(double x, double y) {
    return std::atan2(y - glassY, x - glassX);
}

// The picture's layers, facing the eye. A flame reflects towards the eye where the wall's normal
// halves the angle between them: one streak for each short candle.
GlassLayers glassLayers() {
    double eyeX, eyeY, eyeZ;
    viewerPlace(&eyeX, &eyeY, &eyeZ);
    GlassLayers g = {latheAlong(glassWall, 3),  latheAlong(glassWall, 4),     latheAlong(glassWall, 9),
                     latheAlong(glassWall, 11), azimuthFromGlass(eyeX, eyeY), {0.0, 0.0}};
    const int flames[2] = {0, 2};  // the near candle and the one in the dish
    for (int i = 0; i < 2; i++) {
        const double f = azimuthFromGlass(candles[flames[i]].x, candles[flames[i]].y);
        g.streaks[i] = std::atan2(std::sin(f) + std::sin(g.facing), std::cos(f) + std::cos(g.facing));
    }
    return g;
}

void addGlass(MeshBuild* mesh, int32_t segments) {
    addLathe(mesh, glassX, glassY, glassWall, segments);
    // The inner bottom is one layer of glass: it takes its picture from the middle of the stem.
    const double stem = 1.0 - 0.5 * (latheAlong(glassWall, 4) + latheAlong(glassWall, 7));
    const double innerR[4] = {8.1 * glassWidth, 6.0 * glassWidth, 3.0 * glassWidth, 0.0};
    const double innerZ[4] = {20.6 + bowlLift, 19.3 + bowlLift, 19.05 + bowlLift, 19.0 + bowlLift};
    const LatheProfile inner = {innerR, innerZ, 4, stem, stem, true};
    addLathe(mesh, glassX, glassY, inner, segments);
}

void addDrink(MeshBuild* mesh, int32_t segments) {
    // Points between the corners' so the bottom's curve shows no kinks on a 4K screen.
    double r[10] = {0.0, 3.0, 5.9, 7.078, 8.0, 8.534, 8.85, 9.072, 9.2, 9.3};
    for (double& v : r) v *= glassWidth;
    const double z[10] = {drinkBottom + 0.05, drinkBottom + 0.1, drinkBottom + 0.3, 19.878 + bowlLift,
                          20.65 + bowlLift,   22.022 + bowlLift, 24.0 + bowlLift,   27.022 + bowlLift,
                          30.0 + bowlLift,    drinkTop};
    const LatheProfile profile = {r, z, 10, 1.0, 0.0, false};
    addLathe(mesh, glassX, glassY, profile, segments);
}

// From the rim of its foot (the underside lies on the table, never seen) over the lip and into
// the bowl the candle stands in.
void addDish(MeshBuild* mesh, const Candle& c, int32_t segments) {
    const double r[7] = {4.6, 5.7, 6.2, dishRadius, 5.9, 5.2, 0.0};
    const double z[7] = {0.02, 0.45, 1.2, 1.75, 1.8, 1.2, 1.2};
    const LatheProfile profile = {r, z, 7, 1.0, 0.0, false};
    addLathe(mesh, c.x, c.y, profile, segments);
}

bool addGlassPicture(PakArchive* archive) {
    const GlassLayers layers = glassLayers();
    ArtImage image;
    image.initImage(256, 64, 0.0, 0.0, 1.0, 1.0);
    shadeImage(&image, shadeGlass, &layers);
    return addPicture(archive, glassPictureEntry, image);
}

bool addThings(PakArchive* archive, const std::string& name, const Detail& detail) {
    std::vector<MeshBuild> meshes(9);
    const float tableAmbient[4] = {0.12f, 0.09f, 0.07f, 1.0f}, tableDiffuse[4] = {0.75f, 0.62f, 0.5f, 1.0f};
    const float tableSpecular[4] = {0.35f, 0.3f, 0.24f, 1.0f};
    meshes[0].initMeshBuild("stol.png", litMaterial(tableAmbient, tableDiffuse, tableSpecular, 24.0f));
    // Per-vertex lighting needs small cells only where the flames' pools fall and the table is
    // near the viewer; towards its far edge and off screen the cells grow.
    std::vector<double> tableXs, tableYs;
    gridBreaks(&tableXs, -120.0, -64.0, 36.0, 80.0, 8.0, 24.0);
    gridBreaks(&tableYs, -120.0, -76.0, 4.0, 60.0, 8.0, 24.0);
    addGridXY(&meshes[0], tableXs, tableYs, 0.0, 48.0);

    const float waxAmbient[4] = {0.35f, 0.3f, 0.22f, 1.0f}, waxDiffuse[4] = {0.95f, 0.85f, 0.68f, 1.0f};
    const float waxSpecular[4] = {0.6f, 0.5f, 0.35f, 1.0f};
    meshes[1].initMeshBuild("vosk.png", litMaterial(waxAmbient, waxDiffuse, waxSpecular, 40.0f));
    for (int i = 0; i < 3; i++) addCandleTop(&meshes[1], candles[i], detail.candle[i]);

    const float wickColour[4] = {0.08f, 0.06f, 0.05f, 1.0f}, wickSpecular[4] = {0.1f, 0.08f, 0.05f, 1.0f};
    meshes[2].initMeshBuild("white.png", litMaterial(wickColour, wickColour, wickSpecular, 8.0f));
    for (int i = 0; i < 3; i++) addWick(&meshes[2], candles[i]);

    const float brassAmbient[4] = {0.25f, 0.18f, 0.08f, 1.0f}, brassDiffuse[4] = {0.6f, 0.44f, 0.2f, 1.0f};
    const float brassSpecular[4] = {0.95f, 0.8f, 0.5f, 1.0f};
    meshes[3].initMeshBuild("white.png", litMaterial(brassAmbient, brassDiffuse, brassSpecular, 48.0f));
    addDish(&meshes[3], candles[2], detail.dish);

    // Light through the drink throws shifting caustics on the table beside the glass: the plasma's
    // contour bands, from inside one 16-pixel cell so its grid never shows, in three rings that
    // fade outwards.
    const float causticSpecular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float causticAlpha[3] = {0.45f, 0.24f, 0.09f};
    const double causticRadius[4] = {0.0, 5.0, 7.5, 10.0};
    for (int i = 0; i < 3; i++) {
        // Over-bright on purpose: focused light outshines the lit table around it.
        const float colour[4] = {1.9f, 1.15f, 0.9f, causticAlpha[i]};
        MeshBuild* caustic = &meshes[4 + (size_t)i];
        caustic->initMeshBuild("x#Plasma16 16 236 196 120",
                               litMaterial(colour, colour, causticSpecular, 1.0f));
        caustic->material.transparent = true;
        addDisc(caustic, glassPlace.causticX, glassPlace.causticY, 0.03, causticRadius[i],
                causticRadius[i + 1], 1, 32, false, 1.5 / 16.0, 1.5 / 16.0, 14.5 / 16.0, 14.5 / 16.0);
    }

    // The drink and its surface (one mesh: one draw), then the glass around both; all blended.
    // The lights are strongly yellow: a drink with some red and blue in it reads as amber, not olive.
    const float drinkAmbient[4] = {1.5f, 0.95f, 0.55f, 0.2f}, drinkDiffuse[4] = {1.4f, 0.92f, 0.8f, 0.2f};
    const float drinkSpecular[4] = {1.0f, 0.95f, 0.8f, 1.0f};
    meshes[7].initMeshBuild("white.png", litMaterial(drinkAmbient, drinkDiffuse, drinkSpecular, 60.0f));
    meshes[7].material.transparent = true;
    addDrink(&meshes[7], detail.glass);
    addDisc(&meshes[7], glassX, glassY, drinkTop, 0.0, 9.3 * glassWidth, 2, detail.glass, false, 0.0, 0.0,
            1.0, 1.0);
    const float glassAmbient[4] = {0.45f, 0.45f, 0.55f, glassAlpha},
                glassDiffuse[4] = {0.42f, 0.42f, 0.62f, glassAlpha};
    const float glassSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    meshes[8].initMeshBuild(glassPictureEntry, litMaterial(glassAmbient, glassDiffuse, glassSpecular, 90.0f));
    meshes[8].material.transparent = true;
    addGlass(&meshes[8], detail.glass);
    // The table goes after the opaque things standing on it: where they cover it the depth test
    // turns its pixels away before they are lit and textured.
    std::rotate(meshes.begin(), meshes.begin() + 1, meshes.begin() + 4);
    return addModel(archive, name, meshes);
}

// The full models, then the coarser ones for each screen height, and the pictures they share.
bool addTurnedModels(PakArchive* archive) {
    if (!addCandles(archive, candlesEntry, detailFor(0)) || !addThings(archive, thinksEntry, detailFor(0)))
        return false;
    for (int32_t rows : detailRows) {
        const Detail detail = detailFor(rows);
        if (!addCandles(archive, detailEntry(candlesEntry, rows), detail) ||
            !addThings(archive, detailEntry(thinksEntry, rows), detail))
            return false;
    }
    return addShadedPicture(archive, "vosk.png", 64, 256, 0.0, 0.0, 1.0, 1.0, shadeWax) &&
           addShadedPicture(archive, "stol.png", 256, 256, 0.0, 0.0, 1.0, 1.0, shadeWood) &&
           addGlassPicture(archive) && addWhitePicture(archive, "white.png");
}

// A teardrop outline around the wick tip: round below, drawn out to a point above.
void flameOutline(double angle, double* x, double* y) {
    const double c = std::cos(angle), s = std::sin(angle);
    if (s <= 0.0) {
        *x = 1.9 * c;
        *y = 1.9 + 3.1 * s;
    } else {
        const double k = std::pow(1.0 - s, 0.8);
        *x = 1.9 * c * (0.35 + 0.65 * k);
        *y = 1.9 + 7.7 * s;
    }
}

// The halo is blended over a large area three times a frame; its picture's corners are empty.
// An octagon that just fits the picture holds every pixel of it brighter than about 1/255 (the
// halo is 0.3 * exp(-3 r^2), r = 1.21 at the octagon's edges) in 70% of the square's area.
void addHalo(MeshBuild* mesh, double left, double bottom, double right, double top) {
    const int32_t sides = 8;
    const double fit = std::fmin(haloCentre - bottom, top - haloCentre) / haloY;
    const double reach = fit / std::cos(pi / sides);
    const Vec3 n[3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    for (int32_t k = 0; k < sides; k++) {
        const double a0 = 2.0 * pi * (k + 0.5) / sides, a1 = 2.0 * pi * (k + 1.5) / sides;
        const Vec3 p[3] = {{0.0, haloCentre, 0.0},
                           {haloX * reach * std::cos(a0), haloCentre + haloY * reach * std::sin(a0), 0.0},
                           {haloX * reach * std::cos(a1), haloCentre + haloY * reach * std::sin(a1), 0.0}};
        double st[6];
        for (int i = 0; i < 3; i++) {
            st[2 * i] = (p[i].x - left) / (right - left);
            st[2 * i + 1] = (top - p[i].y) / (top - bottom);
        }
        addTriangle(mesh, p, n, st);
    }
}

bool addFlame(PakArchive* archive) {
    const MeshMaterial unlit = overlayMaterial();
    std::vector<MeshBuild> meshes(3);
    meshes[0].initMeshBuild("plamia_glow.png", unlit);
    addHalo(&meshes[0], -9.0, -6.5, 9.0, 13.5);

    // The fire sheet rises from below the image towards row 0: its lower part fills the
    // teardrop, so the flame flickers and fades out towards the tip. The outline maps onto the
    // sheet's always-cold first and last columns, so the flame's sides fade softly.
    meshes[1].initMeshBuild("x#Fire32 128", unlit);
    const int32_t steps = 32;
    const double bottom = -1.2, top = 9.6, centreY = 2.2;
    for (int32_t k = 0; k < steps; k++) {
        double x0, y0, x1, y1;
        flameOutline(2.0 * pi * k / steps, &x0, &y0);
        flameOutline(2.0 * pi * (k + 1) / steps, &x1, &y1);
        const Vec3 p[3] = {{0.0, centreY, 0.0}, {x0, y0, 0.0}, {x1, y1, 0.0}};
        const Vec3 n[3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
        double st[6];
        for (int i = 0; i < 3; i++) {
            const double side = std::fabs(p[i].x) < 1e-9 ? 0.0 : (p[i].x < 0.0 ? -1.0 : 1.0);
            st[2 * i] = i == 0 ? 0.5 : (side == 0.0 ? 0.0 : 0.5 + 0.5 * side);
            // Rows climb faster towards the tip, where the sheet has cooled to nothing.
            const double u = (p[i].y - bottom) / (top - bottom);
            st[2 * i + 1] = 0.98 - 0.36 * u - 0.4 * u * u * u;
        }
        addTriangle(&meshes[1], p, n, st);
    }
    // The core's picture is empty beside and above the flame's heart: its quad covers what shows.
    ArtImage core;
    core.initImage(64, 128, -1.5, -1.3, 1.5, 8.0);
    shadeImage(&core, shadeCore, nullptr);
    meshes[2].initMeshBuild("plamia_core.png", unlit);
    addVisibleQuad(&meshes[2], core);
    return addShadedPicture(archive, "plamia_glow.png", 128, 128, -9.0, -6.5, 9.0, 13.5, shadeHalo) &&
           addPicture(archive, "plamia_core.png", core) && addModel(archive, flameEntry, meshes);
}

// A bubble facing the viewer: a fan of a few triangles around the picture's disc, lit like a
// small sphere so its rim catches the flames' light. It is only a few pixels across, so more triangles would
// only cost vertex work.
bool addBubble(PakArchive* archive) {
    const float ambient[4] = {0.5f, 0.45f, 0.4f, 1.0f}, diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    std::vector<MeshBuild> meshes(1);
    MeshMaterial m = litMaterial(ambient, diffuse, specular, 20.0f);
    m.transparent = true;
    meshes[0].initMeshBuild("puzir.png", m);
    // The octagon's edges touch the radius-5 disc; turned by half a step, its corners lie on the
    // picture's square, so the picture keeps its size and nothing wraps.
    const int32_t segments = 8;
    const double radius = 5.0 / std::cos(pi / segments), half = 5.0;
    // Rim normals halfway between facing and edge-on: there a sphere lit from the side catches
    // its highlight, which a fan with only facing and edge-on normals would miss.
    const double lean = std::sqrt(0.5);
    for (int32_t k = 0; k < segments; k++) {
        const double a0 = 2.0 * pi * (k + 0.5) / segments, a1 = 2.0 * pi * (k + 1.5) / segments;
        const Vec3 p[3] = {{0, 0, 0},
                           {radius * std::cos(a0), radius * std::sin(a0), 0},
                           {radius * std::cos(a1), radius * std::sin(a1), 0}};
        const Vec3 n[3] = {{0, 0, 1},
                           {lean * std::cos(a0), lean * std::sin(a0), lean},
                           {lean * std::cos(a1), lean * std::sin(a1), lean}};
        double st[6];
        for (int i = 0; i < 3; i++) {
            st[2 * i] = 0.5 + 0.5 * p[i].x / half;
            st[2 * i + 1] = 0.5 - 0.5 * p[i].y / half;
        }
        addTriangle(&meshes[0], p, n, st);
    }
    return addShadedPicture(archive, "puzir.png", 64, 64, -half, -half, half, half, shadeBubble) &&
           addModel(archive, bubbleEntry, meshes);
}

// A faint signature in the lower left corner of the screen (drawn at half size on the centre
// plane, so these units are twice the screen's; it stays visible down to 5:4 screens).
bool addSignature(PakArchive* archive) {
    ArtImage image;
    image.initImage(128, 32, -98.0, -81.0, -70.0, -74.0);
    const float colour[4] = {1.0f, 0.85f, 0.62f, 0.3f};
    drawText(&image, FONT_BOOK, "Lumivane", -97.0, -79.2, 3.2, false, colour);
    return addOverlayTile(archive, signatureEntry, "nn.png", image);
}

double clampUnit(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

}  // namespace

// One candle of the scene on its table: wood plate, wax, wick, the flame's halo and core, in
// flame units (the wick tip near the origin). Small sizes keep the shapes, a little thicker.
void paintSceneIcon(ArtImage* icon) {
    const RoundedRect plate = {-9.6, -7.6, 9.6, 11.6, 3.4};
    const RoundedRect wax = {-3.4, -9.0, 3.4, -1.0, 0.6};
    const double pixel = 1.0 / icon->pixelsPerUnit();
    const double wickWidth = pixel > 0.35 ? pixel : 0.35;
    const Segment wick = {0.0, -1.2, 0.0, 0.3, wickWidth * 0.5};
    const float wickColour[4] = {0.12f, 0.08f, 0.05f, 1.0f};
    for (int32_t py = 0; py < icon->height; py++)
        for (int32_t px = 0; px < icon->width; px++) {
            const double x = icon->unitX(px), y = icon->unitY(py);
            const double inPlate = clampUnit(0.5 - roundedRectDistance(x, y, &plate) / pixel);
            if (inPlate <= 0.0) continue;
            float colour[4] = {0, 0, 0, 0};
            shadeWood((x + 10.0) / 20.0, (y + 8.0) / 40.0, colour, nullptr);
            icon->blendPixel(px, py, colour, inPlate);
            shadeHalo(x * 0.8, y * 0.8 + 0.6, colour, nullptr);
            colour[3] = (float)(colour[3] * 2.6);
            icon->blendPixel(px, py, colour, inPlate);
            shadeWax((x + 3.4) / 6.8, (y + 9.0) / 8.0, colour, nullptr);
            icon->blendPixel(px, py, colour,
                             inPlate * clampUnit(0.5 - roundedRectDistance(x, y, &wax) / pixel));
            icon->blendPixel(px, py, wickColour, clampUnit(0.5 - segmentDistance(x, y, &wick) / pixel));
            for (float& c : colour) c = 0.0f;
            shadeCore(x / 1.7, y / 1.15, colour, nullptr);
            icon->blendPixel(px, py, colour, inPlate);
        }
}

bool buildMainArchive(PakArchive* archive) {
    return addTurnedModels(archive) && addFlame(archive) && addBubble(archive) && addSignature(archive);
}
