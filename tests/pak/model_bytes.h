#pragma once
// Builders for test model entries and archives laid out byte by byte.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline void putLe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
}

inline void putDouble(std::vector<uint8_t>& out, double d) {
    uint8_t b[8];
    memcpy(b, &d, 8);
    out.insert(out.end(), b, b + 8);
}

inline void putFloat(std::vector<uint8_t>& out, float f) {
    uint32_t bits;
    memcpy(&bits, &f, 4);
    putLe32(out, bits);
}

struct TestBlock {
    std::string textureName;  // stored with one NUL after it
    uint32_t triangleCount = 0;
    bool alphaTested = false;
    bool transparent = false;
    double z = 0.0;  // triangles cover the whole [-1, 1] square at this depth, in pairs
    float diffuse[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    int extraNameBytes = 0;  // padding after the NUL, counted in the stored length
};

inline std::vector<uint8_t> meshBlockBytes(const TestBlock& spec) {
    std::vector<uint8_t> out;
    putLe32(out, (uint32_t)(spec.textureName.size() + 1 + spec.extraNameBytes));
    out.insert(out.end(), spec.textureName.begin(), spec.textureName.end());
    out.insert(out.end(), 1 + spec.extraNameBytes, 0);
    out.insert(out.end(), 80, 0xAB);  // reserved
    out.push_back(spec.alphaTested);
    out.push_back(spec.transparent);
    out.push_back(0);
    out.push_back(0);
    const float ambient[4] = {0.1f, 0.2f, 0.3f, 1.0f}, specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < 4; i++) putFloat(out, ambient[i]);
    for (int i = 0; i < 4; i++) putFloat(out, spec.diffuse[i]);
    for (int i = 0; i < 4; i++) putFloat(out, specular[i]);
    putFloat(out, 8.0f);
    putLe32(out, 0);
    putLe32(out, spec.triangleCount);
    out.push_back(0xCD);  // reserved
    static const double quad[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    for (uint32_t t = 0; t < spec.triangleCount; t++) {
        for (int v = 0; v < 3; v++) {
            putDouble(out, quad[(t % 2) * 3 + v][0]);
            putDouble(out, quad[(t % 2) * 3 + v][1]);
            putDouble(out, spec.z);
        }
    }
    for (uint32_t i = 0; i < spec.triangleCount * 3; i++) {
        putDouble(out, 0.0);
        putDouble(out, 0.0);
        putDouble(out, 1.0);
    }
    for (uint32_t i = 0; i < spec.triangleCount * 3; i++) {
        putDouble(out, 0.5);
        putDouble(out, 0.5);
    }
    return out;
}

inline std::vector<uint8_t> modelBytes(const std::vector<TestBlock>& blocks, bool withSkipWord = false) {
    std::vector<uint8_t> out;
    out.push_back(withSkipWord ? 0xFF : 0x01);
    if (withSkipWord) putLe32(out, 0xDEADBEEF);
    putLe32(out, (uint32_t)blocks.size());
    for (size_t i = 0; i < blocks.size(); i++) {
        std::vector<uint8_t> block = meshBlockBytes(blocks[i]);
        out.insert(out.end(), block.begin(), block.end());
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
    putLe32(out, (uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); i++) {
        out.push_back((uint8_t)entries[i].name.size());
        out.insert(out.end(), entries[i].name.begin(), entries[i].name.end());
        putLe32(out, (uint32_t)entries[i].bytes.size());
        out.insert(out.end(), entries[i].bytes.begin(), entries[i].bytes.end());
    }
    return out;
}

inline std::vector<uint8_t> textBytes(const char* text) {
    return std::vector<uint8_t>(text, text + strlen(text));
}
