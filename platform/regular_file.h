#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads at most `limit` bytes of `path`, and only from a regular file: a FIFO, a device or a
// folder there is never read, so it can neither block nor wake anything. False when nothing was
// read; *problem then says why, and stays empty when the file simply does not exist.
bool readRegularFile(const std::string& path, size_t limit, std::vector<uint8_t>* bytes,
                     std::string* problem);
