#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// Prints the meshes of a model entry to out, one paragraph per mesh. Returns false with the byte
// offset and reason in *problem where the entry stops making sense (the meshes before it are printed).
bool reportModel(const uint8_t* bytes, uint32_t size, FILE* out, std::string* problem);
