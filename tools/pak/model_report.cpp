#include "tools/pak/model_report.h"

#include "pak/mesh.h"
#include "pak/model_layout.h"

namespace {
void printColour(FILE* out, const char* label, const float* rgba) {
    fprintf(out, "  %-9s %g %g %g %g\n", label, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void printMesh(FILE* out, int index, size_t offset, const MeshBlockLayout& block) {
    MeshMaterial m;
    readMeshMaterial(block.material, &m);
    fprintf(out, "mesh %d at byte %zu: texture \"%s\", %u triangles, %llu bytes\n", index, offset,
            block.textureName, block.triangleCount, (unsigned long long)block.blockSize);
    fprintf(out, "  alpha tested %s, transparent %s, shininess %g\n", m.alphaTested ? "yes" : "no",
            m.transparent ? "yes" : "no", m.shininess);
    printColour(out, "ambient", m.ambient);
    printColour(out, "diffuse", m.diffuse);
    printColour(out, "specular", m.specular);
}
}  // namespace

bool reportModel(const uint8_t* bytes, uint32_t size, FILE* out, std::string* problem) {
    const uint8_t* cursor;
    int32_t count;
    if (!readModelHeader(bytes, size, &cursor, &count)) {
        bool fits = size >= 5 && (bytes[0] != 0xFF || size >= 9);
        *problem =
            fits ? "byte " + std::to_string(bytes[0] == 0xFF ? 5 : 1) + ": negative mesh count"
                 : "byte 0: entry of " + std::to_string(size) + " bytes is too short for a model header";
        return false;
    }
    fprintf(out, "%d meshes\n", count);
    const uint8_t* end = bytes + size;
    for (int32_t i = 0; i < count; i++) {
        MeshBlockLayout block;
        const char* reason = nullptr;
        size_t offset = (size_t)(cursor - bytes);
        if (!readMeshBlock(cursor, end, &block, &reason)) {
            *problem = "mesh " + std::to_string(i) + " at byte " + std::to_string(offset) + ": " + reason;
            return false;
        }
        printMesh(out, i, offset, block);
        cursor += block.blockSize;
    }
    if (cursor != end) fprintf(out, "%zu bytes after the last mesh\n", (size_t)(end - cursor));
    return true;
}
