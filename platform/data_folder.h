#pragma once
#include <string>

// The all-users application-data folder (created if missing; without `create`, the folder that
// would be used, nothing made) followed by the separator and `fileName`; empty when no such
// folder can be had.
std::string commonDataFile(const char* fileName, bool create = true);
// Read-only places, nothing created: the current user's own file (LUMIVANE_DATA's when set), and
// the one an administrator put in the system-wide folder ("" where there is no such place apart
// from commonDataFile's folder).
std::string userDataFile(const char* fileName);
std::string systemDataFile(const char* fileName);
