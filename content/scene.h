#pragma once
// Builds the whole tree the frame draws: sceneRoot (candles, flames, lights, bubbles) and
// overlayRoot (calendar, clock, frame rate) as the settings choose. Needs the viewport open,
// the settings read and the pak library's base path set.
void buildScene();
