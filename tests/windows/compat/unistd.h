#pragma once
// The toolchain's own unistd.h, and mkdtemp beside it (the shared tests make scratch folders).
#include_next <unistd.h>

#include "ftw.h"
