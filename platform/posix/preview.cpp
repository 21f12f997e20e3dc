#include "platform/preview.h"

#include "app/app_state.h"

// X11 desktops have no preview page to paint into yet.
int runPreview(unsigned long parent) {
    previewParent = parent;
    return 0;
}
