// lumivane.ico: the Windows programs' icon. Every size is a PNG entry, which Windows reads since
// Vista; the bytes depend on the drawing alone, like the archives'.
#include <cstdio>
#include <string>
#include <vector>

#include "pak/file_bytes.h"
#include "pak/little_endian.h"
#include "tools/assets/assets.h"

bool writeIconFile(const std::string& folder) {
    static const int32_t sizes[] = {16, 24, 32, 48, 64, 256};
    const uint32_t count = sizeof sizes / sizeof sizes[0];
    std::vector<std::vector<uint8_t>> pngs(count);
    for (uint32_t i = 0; i < count; i++) {
        ArtImage icon;
        // The plate's square, with a little margin at the larger sizes.
        icon.initImage(sizes[i], sizes[i], -10.0, -8.0, 10.0, 12.0);
        paintSceneIcon(&icon);
        if (!encodePicture(icon, &pngs[i])) return false;
    }
    // ICONDIR, then one 16-byte entry per picture, then the pictures.
    std::vector<uint8_t> file;
    putLe16(&file, 0);
    putLe16(&file, 1);
    putLe16(&file, count);
    uint32_t offset = 6 + 16 * count;
    for (uint32_t i = 0; i < count; i++) {
        file.push_back((uint8_t)(sizes[i] >= 256 ? 0 : sizes[i]));  // 0 stands for 256
        file.push_back((uint8_t)(sizes[i] >= 256 ? 0 : sizes[i]));
        file.push_back(0);  // no palette
        file.push_back(0);
        putLe16(&file, 1);   // planes
        putLe16(&file, 32);  // bits per pixel
        putLe32(&file, (uint32_t)pngs[i].size());
        putLe32(&file, offset);
        offset += (uint32_t)pngs[i].size();
    }
    for (const std::vector<uint8_t>& png : pngs) file.insert(file.end(), png.begin(), png.end());
    const std::string path = folder + "/lumivane.ico";
    if (!writeFileBytes(path.c_str(), file.data(), file.size())) {
        std::fprintf(stderr, "lumivane_assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
