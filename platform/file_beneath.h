#pragma once
#include <cstddef>
#include <string>

// Writes `bytes` to `name` below `folder`, making the folders on the way. `folder` is the caller's
// own choice and is taken as it stands; below it, nothing that is a link is followed and only a
// regular file is overwritten, so a folder others may write to cannot send the bytes elsewhere.
// False, with *problem saying why in a few words, when it could not.
bool writeFileBeneath(const std::string& folder, const std::string& name, const void* bytes, size_t size,
                      std::string* problem);
