#pragma once
#include <string>

#include "app/settings.h"

// The settings as text, one name=value pair a line, the way the configuration program shows them.
std::string describeSettings(const SaverSettings& settings);
// Applies one name=value pair; false, with the reason in *problem and the record unchanged, when
// the name is unknown or the value is not acceptable for it.
bool applySetting(SaverSettings* settings, const char* pair, std::string* problem);
