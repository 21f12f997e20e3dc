#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

// The screensaver's choices, read once per run from the file the configuration program writes.
struct SaverSettings {
    bool showFrameRate;
    bool showClock;
    bool analogClock;
    bool clock24Hours;
    bool largeClock;
    bool showCalendar;
    bool russianCalendar;
    bool mouseMoveEnds;
    uint32_t reservedValue;  // kept as read; unused
    uint32_t resolutionIndex;

    // Row resolutionIndex of the table; row 0 (0, 0, 0: the desktop mode) for an index past it.
    int32_t resolutionWidth() const;
    int32_t resolutionHeight() const;
    int32_t resolutionBits() const;
};

enum { RESOLUTION_COUNT = 10, SETTINGS_FILE_SIZE = 20, SETTINGS_VERSION = 1 };

struct SceneChoices;

extern const char* const settingsFileName;  // in the all-users data folder

SaverSettings defaultSettings();
// What the scene reads of them: which overlay pieces it shows and how.
SceneChoices sceneChoices(const SaverSettings& settings);
// A file of the current layout gives its fields; an earlier layout, a short or unreadable file
// give the defaults. An index past the table is taken as 0.
SaverSettings readSettings(std::istream& in);
SaverSettings readSettingsBytes(const uint8_t* bytes, size_t size);
// The current layout: SETTINGS_FILE_SIZE bytes.
void encodeSettings(const SaverSettings& settings, uint8_t* bytes);
// Replaces the file in one step, so a reader never sees half of it. False when it could not.
bool writeSettingsFile(const std::string& path, const SaverSettings& settings);
// The settings file the configuration program writes; empty when there is no data folder.
// Only a write creates the folder: without `createFolder`, the file a write would use.
std::string settingsFilePath(bool createFolder = true);
// The settings file a run reads: the user's own, else the system-wide one; empty when neither
// exists (the defaults apply). Creates nothing. Something else standing at one of the paths (a
// FIFO, a folder) is passed over; the first such path goes to *skipped when asked. A path this
// user cannot look at (a folder on the way they may not search) is returned all the same, so
// that loading it says why rather than taking it for no file.
std::string settingsReadPath(std::string* skipped = nullptr);
// The settings in the file at `path`; the defaults when there is none or when it is not a regular
// file (a FIFO there must not hold up the start). *problem says why an existing path gave the
// defaults, and is empty otherwise.
SaverSettings loadSettingsFile(const std::string& path, std::string* problem);
