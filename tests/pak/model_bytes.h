#pragma once
// Test model entries (through the asset writer) and archives laid out byte by byte.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pak/little_endian.h"
#include "pak/mesh_writer.h"

// A mesh whose triangles, in pairs, cover the whole [-1, 1] square at depth z; diffuse 0.25 0.5 0.75.
inline MeshBuild quadMesh(const char* texture, int triangles, bool transparent = false, double z = 0.0) {
    MeshBuild mesh;
    MeshMaterial material = plainMaterial(0.25f, 0.5f, 0.75f, 1.0f);
    material.transparent = transparent;
    material.shininess = 8.0f;
    mesh.initMeshBuild(texture, material);
    static const double corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    const double normal[3] = {0, 0, 1};
    for (int i = 0; i < triangles * 3; i++) {
        const double position[3] = {corners[i % 6][0], corners[i % 6][1], z};
        mesh.addVertex(position, normal, 0.5, 0.5);
    }
    return mesh;
}

inline std::vector<uint8_t> blockBytes(const MeshBuild& mesh) {
    std::vector<uint8_t> out;
    writeMeshBlock(&out, mesh);
    return out;
}

// The writer's model, optionally with the 0xFF marker and a skip word in front of the count.
inline std::vector<uint8_t> modelBytes(const std::vector<MeshBuild>& meshes, bool withSkipWord = false) {
    std::vector<uint8_t> out;
    writeModel(&out, meshes);
    if (withSkipWord) {
        const uint8_t skip[5] = {0xFF, 0xEF, 0xBE, 0xAD, 0xDE};
        out.erase(out.begin());
        out.insert(out.begin(), skip, skip + 5);
    }
    return out;
}

// A .pak image built by hand, independent of the writer under test.
struct TestEntry {
    std::string name;
    std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> pakBytes(const std::vector<TestEntry>& entries) {
    std::vector<uint8_t> out;
    putLe32(&out, (uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); i++) {
        out.push_back((uint8_t)entries[i].name.size());
        out.insert(out.end(), entries[i].name.begin(), entries[i].name.end());
        putLe32(&out, (uint32_t)entries[i].bytes.size());
        out.insert(out.end(), entries[i].bytes.begin(), entries[i].bytes.end());
    }
    return out;
}

inline std::vector<uint8_t> textBytes(const char* text) {
    return std::vector<uint8_t>(text, text + strlen(text));
}

// An entry copied into a heap block of exactly its size, so ASan catches any read past it.
struct ExactBytes {
    uint8_t* bytes;
    uint32_t size;
    ExactBytes(const std::vector<uint8_t>& from, size_t length)
        : bytes(new uint8_t[length]), size((uint32_t)length) {
        if (length) memcpy(bytes, from.data(), length);
    }
    ExactBytes(const ExactBytes&) = delete;
    ~ExactBytes() { delete[] bytes; }
};
