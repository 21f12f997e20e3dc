// Builds the five archives of the screensaver, and the Windows programs' icon, from the art code:
//   lumivane_assets <output folder>
#include <cstdio>
#include <string>

#include "pak/archive.h"
#include "tools/assets/art_geometry.h"
#include "tools/assets/assets.h"

bool addModel(PakArchive* archive, const std::string& name, const std::vector<MeshBuild>& meshes) {
    std::vector<uint8_t> bytes;
    writeModel(&bytes, meshes);
    return archive->addEntry(name, bytes.data(), (uint32_t)bytes.size());
}

bool addWhitePicture(PakArchive* archive, const std::string& name) {
    ArtImage white;
    white.initImage(8, 8, 0.0, 0.0, 1.0, 1.0);
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const RoundedRect all = {-1.0, -1.0, 2.0, 2.0, 0.0};
    fillShape(&white, roundedRectDistance, &all, colour);
    return addPicture(archive, name, white);
}

MeshMaterial overlayMaterial() {
    MeshMaterial m = plainMaterial(1.0f, 1.0f, 1.0f, 1.0f);
    m.transparent = true;
    return m;
}

// The pixels a tile's quad must cover, as [x0, x1) x [y0, y1), rows from the top: those that show
// after 8-bit rounding, and one more all round, which the filtering reaches. The whole picture
// when nothing shows.
static void visiblePixels(const ArtImage& image, int32_t box[4]) {
    int32_t x0 = image.width, y0 = image.height, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < image.height; y++)
        for (int32_t x = 0; x < image.width; x++) {
            if (image.rgba[((size_t)y * (size_t)image.width + (size_t)x) * 4 + 3] * 255.0f < 0.5f) continue;
            x0 = x < x0 ? x : x0;
            x1 = x > x1 ? x : x1;
            y0 = y < y0 ? y : y0;
            y1 = y > y1 ? y : y1;
        }
    if (x1 < 0) {
        box[0] = box[1] = 0;
        box[2] = image.width;
        box[3] = image.height;
        return;
    }
    box[0] = x0 > 0 ? x0 - 1 : 0;
    box[1] = y0 > 0 ? y0 - 1 : 0;
    box[2] = x1 + 2 < image.width ? x1 + 2 : image.width;
    box[3] = y1 + 2 < image.height ? y1 + 2 : image.height;
}

void addVisibleQuad(MeshBuild* mesh, const ArtImage& image) {
    int32_t box[4];
    visiblePixels(image, box);
    const double unitX = image.unitWidth / image.width, unitY = image.unitHeight / image.height;
    addQuadXYMapped(mesh, image.unitLeft + box[0] * unitX, image.unitTop - box[3] * unitY,
                    image.unitLeft + box[2] * unitX, image.unitTop - box[1] * unitY, 0.0,
                    (double)box[0] / image.width, (double)box[1] / image.height, (double)box[2] / image.width,
                    (double)box[3] / image.height);
}

bool addOverlayTile(PakArchive* archive, const std::string& model, const std::string& picture,
                    const ArtImage& image) {
    std::vector<MeshBuild> meshes(1);
    meshes[0].initMeshBuild(picture.c_str(), overlayMaterial());
    addVisibleQuad(&meshes[0], image);
    return addPicture(archive, picture, image) && addModel(archive, model, meshes);
}

typedef bool (*ArchiveBuilder)(PakArchive* archive);

static bool writeArchive(const std::string& folder, const char* name, ArchiveBuilder build) {
    PakArchive archive;
    const std::string path = folder + "/" + name;
    if (!build(&archive)) {
        std::fprintf(stderr, "lumivane_assets: could not build %s\n", name);
        return false;
    }
    if (!archive.save(path.c_str())) {
        std::fprintf(stderr, "lumivane_assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumivane_assets <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    // Every text is drawn from these; without them the pictures would silently lack their words.
    // Debian splits the family: the thin and condensed faces are not in the core package.
    const char* const fonts[3] = {FONT_THIN, FONT_BOOK, FONT_CONDENSED};
    const char* const packages[3] = {"fonts-dejavu-extra", "fonts-dejavu-core", "fonts-dejavu-extra"};
    for (int i = 0; i < 3; i++) {
        if (textWidth(fonts[i], "0", 1.0) <= 0.0) {
            std::fprintf(stderr, "lumivane_assets: the font %s is missing (package %s)\n", fonts[i],
                         packages[i]);
            closeFonts();
            return 1;
        }
    }
    const bool ok = writeArchive(folder, "main.pak", buildMainArchive) &&
                    writeArchive(folder, "clock.pak", buildClockArchive) &&
                    writeArchive(folder, "calendar.pak", buildCalendarArchive) &&
                    writeArchive(folder, "utils.pak", buildUtilsArchive) &&
                    writeArchive(folder, "debug.pak", buildDebugArchive) && writeIconFile(folder);
    closeFonts();
    return ok ? 0 : 1;
}
