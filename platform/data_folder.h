#pragma once
#include <string>

// The all-users application-data folder (created if missing) followed by the separator and
// `fileName`; empty when no such folder can be had.
std::string commonDataFile(const char* fileName);
