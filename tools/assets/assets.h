#pragma once
#include <string>
#include <vector>

#include "pak/mesh_writer.h"
#include "tools/assets/art_image.h"

struct PakArchive;

#define FONT_THIN "/usr/share/fonts/truetype/dejavu/DejaVuSans-ExtraLight.ttf"
#define FONT_BOOK "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
#define FONT_CONDENSED "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf"

// Each builder fills one archive; false (with a message on stderr) when something cannot be made.
bool buildMainArchive(PakArchive* archive);
bool buildClockArchive(PakArchive* archive);
bool buildCalendarArchive(PakArchive* archive);
bool buildUtilsArchive(PakArchive* archive);
bool buildDebugArchive(PakArchive* archive);

bool addModel(PakArchive* archive, const std::string& name, const std::vector<MeshBuild>& meshes);
// A small plain white picture, for meshes whose look is all material.
bool addWhitePicture(PakArchive* archive, const std::string& name);
// Overlay meshes are unlit and drawn last, blended, so their look is the picture's colour and alpha.
MeshMaterial overlayMaterial();
// A quad textured with the picture, over the part of its rectangle that shows once stored (plus
// a pixel for the filtering): for blended pictures drawn every frame, whose empty margins would
// cost fill for nothing. The picture keeps its size.
void addVisibleQuad(MeshBuild* mesh, const ArtImage& image);
// A model of one visible quad over the picture (as above), plus the picture itself.
bool addOverlayTile(PakArchive* archive, const std::string& model, const std::string& picture,
                    const ArtImage& image);

// The programs' icon, drawn with the scene's own shaders into a square picture of any size.
void paintSceneIcon(ArtImage* icon);
// Writes "lumivane.ico" into the folder: the icon at the sizes Windows asks for, each as PNG.
bool writeIconFile(const std::string& folder);
