#pragma once

// Process-wide state of the running program owned by the shell. The subsystems' own globals
// (pakLibrary, effectTextures, deferredMeshes and the meshes' effect texture resolvers, frameTicks,
// currentTrack, currentNode, installPath) are declared in their headers and defined, in start-up
// order, in app_state.cpp; the scene's roots are content's own (content/scene.h).

struct Viewport;
struct SaverSettings;
struct SDL_Surface;

extern Viewport* viewport;
extern SaverSettings* settings;
extern SDL_Surface* screenSurface;
