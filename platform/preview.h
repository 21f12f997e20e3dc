#pragma once

// The preview inside the desktop's screensaver settings: a still picture in a child window of
// `parent`. Returns the process exit status.
int runPreview(unsigned long parent);
