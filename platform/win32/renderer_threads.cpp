#include "platform/renderer_threads.h"

// Windows' GL drivers take no such setting, and Wine's GL reads its host's environment.
void chooseRendererThreads(bool) {}
