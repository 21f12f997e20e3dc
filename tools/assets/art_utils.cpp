// utils.pak: the frame-rate label and its digits (eye depth -100, each digit's left edge at its
// place); debug.pak: the small axis marker at light 5.
#include <string>

#include "content/layout.h"
#include "pak/archive.h"
#include "tools/assets/art_geometry.h"
#include "tools/assets/assets.h"

static const float labelColour[4] = {0.95f, 0.82f, 0.62f, 0.65f};
static const float digitColour[4] = {1.0f, 0.93f, 0.82f, 0.9f};

bool buildUtilsArchive(PakArchive* archive) {
    ArtImage label;
    label.initImage(256, 128, -5.2, -1.25, -0.2, 1.25);
    const double cap = 1.6;
    const double width = textWidth(FONT_BOOK, "fps", cap);
    drawText(&label, FONT_BOOK, "fps", -0.45 - width, -cap * 0.5, cap, false, labelColour);
    if (!addOverlayTile(archive, frameRateLabelEntry, "fps.png", label)) return false;
    for (int d = 0; d <= 9; d++) {
        ArtImage image;
        image.initImage(64, 128, 0.0, -1.25, frameRateDigitWidth, 1.25);
        const char text[2] = {(char)('0' + d), 0};
        drawText(&image, FONT_BOOK, text, frameRateDigitWidth * 0.5, -cap * 0.5, cap, true, digitColour);
        if (!addOverlayTile(archive, text, std::string("fps") + text + ".png", image)) return false;
    }
    return true;
}

// Three short bars along x (red), y (green) and z (blue), lit like the candles around it.
bool buildDebugArchive(PakArchive* archive) {
    std::vector<MeshBuild> meshes(3);
    const float colours[3][3] = {{0.9f, 0.2f, 0.15f}, {0.2f, 0.8f, 0.25f}, {0.2f, 0.35f, 0.95f}};
    for (int axis = 0; axis < 3; axis++) {
        meshes[(size_t)axis].initMeshBuild(
            "ort.png", plainMaterial(colours[axis][0], colours[axis][1], colours[axis][2], 1.0f));
        Vec3 low = {-0.15, -0.15, -0.15}, high = {0.15, 0.15, 0.15};
        if (axis == 0) high.x = 2.0;
        if (axis == 1) high.y = 2.0;
        if (axis == 2) high.z = 2.0;
        addBox(&meshes[(size_t)axis], low, high);
    }
    return addWhitePicture(archive, "ort.png") && addModel(archive, axisMarkerEntry, meshes);
}
