// pak: lists, creates, extracts and inspects the screensaver's .pak archives.
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "pak/archive.h"
#include "platform/file_beneath.h"
#include "tools/pak/model_report.h"

namespace {
const char kUsage[] =
    "usage: pak list ARCHIVE | create ARCHIVE FILE... | extract ARCHIVE PREFIX | cat ARCHIVE ENTRY | "
    "inspect ARCHIVE ENTRY\n";

int fail(const char* archivePath, const std::string& what) {
    fprintf(stderr, "pak: %s: %s\n", archivePath, what.c_str());
    return 1;
}

bool openArchive(PakArchive* archive, const char* path) {
    std::string error;
    if (archive->load(path, &error)) return true;
    fail(path, error);
    return false;
}

// Names are raw bytes: control bytes, NUL included, and the backslash itself are shown as \xNN so
// a listing or a message shows the whole name and can be typed back to cat and inspect.
std::string shownName(const std::string& name) {
    std::string shown;
    for (size_t i = 0; i < name.size(); i++) {
        unsigned char c = (unsigned char)name[i];
        if (c < 0x20 || c == 0x7F || c == '\\') {
            char escaped[5];
            snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        } else {
            shown += (char)c;
        }
    }
    return shown;
}

std::string quoted(const std::string& name) {
    return "\"" + shownName(name) + "\"";
}

// The first entry named `name` exactly, else the first whose shown name it is (how a NUL is
// typed); -1 when none.
int findNamed(const PakArchive& archive, const char* name) {
    for (size_t i = 0; i < archive.names.size(); i++)
        if (archive.names[i] == name) return (int)i;
    for (size_t i = 0; i < archive.names.size(); i++)
        if (shownName(archive.names[i]) == name) return (int)i;
    return -1;
}

int listEntries(const char* path) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    for (size_t i = 0; i < archive.entries.size(); i++)
        printf("%10u  %s\n", archive.entries[i].size, shownName(archive.names[i]).c_str());
    return 0;
}

int createArchive(const char* path, char** files, int fileCount) {
    PakArchive archive;
    for (int i = 0; i < fileCount; i++) {
        if (strlen(files[i]) > 127)
            return fail(path, "cannot add " + quoted(files[i]) + ": name is over 127 bytes");
        if (!archive.addFile(files[i]))
            return fail(path, "cannot add " + quoted(files[i]) + ": " + strerror(errno));
    }
    if (!archive.save(path)) return fail(path, std::string("cannot write: ") + strerror(errno));
    return 0;
}

// Windows opens a device, not a file, for these names whatever the extension (and spaces before
// it). They are refused everywhere, so that an archive extracts the same on every system.
bool reservedOnWindows(const std::string& part) {
    std::string stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (size_t i = 0; i < stem.size(); i++) stem[i] = (char)toupper((unsigned char)stem[i]);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// Why an entry may not be written under a prefix, or null when it may: only names that stay
// below the prefix are written, whatever the archive holds.
const char* refusal(const std::string& name) {
    if (name.empty()) return "has an empty name";
    if (name.find('\0') != std::string::npos) return "has a NUL byte in its name";
    bool drive = name.size() > 1 && name[1] == ':' && isalpha((unsigned char)name[0]);
    if (name[0] == '/' || name[0] == '\\' || drive) return "has an absolute name";
    std::string padded = "/" + name + "/";
    for (size_t i = 0; i < padded.size(); i++)
        if (padded[i] == '\\') padded[i] = '/';
    if (padded.find("/../") != std::string::npos) return "would be written outside the prefix";
    for (size_t start = 1, slash; (slash = padded.find('/', start)) != std::string::npos; start = slash + 1)
        if (reservedOnWindows(padded.substr(start, slash - start)))
            return "has a name Windows keeps for a device";
    return nullptr;
}

// Writes every acceptable entry; one line for each one refused or not written. The prefix's own
// folders are the user's to name; below them nothing that is a link is followed.
int extractArchive(const char* path, const char* prefix) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    std::string start = prefix;
    size_t cut = start.find_last_of('/');
    std::string folder = cut == std::string::npos ? "." : start.substr(0, cut + 1);
    std::string glued = cut == std::string::npos ? start : start.substr(cut + 1);
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0777);
    int status = 0;
    for (size_t i = 0; i < archive.names.size(); i++) {
        const std::string& name = archive.names[i];
        if (const char* why = refusal(name)) {
            status = fail(path, "entry " + quoted(name) + " " + why);
            continue;
        }
        std::string problem;
        if (!writeFileBeneath(folder, glued + name, archive.entries[i].bytes, archive.entries[i].size,
                              &problem))
            status = fail(path, "cannot write " + quoted(prefix + name) + ": " + problem);
    }
    return status;
}

int catEntry(const char* path, const char* name) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    int found = findNamed(archive, name);
    if (found < 0) return fail(path, "no entry named " + quoted(name));
    PakEntry entry = archive.entries[found];
    if (fwrite(entry.bytes, 1, entry.size, stdout) != entry.size || fflush(stdout) != 0)
        return fail(path, std::string("cannot write to standard output: ") + strerror(errno));
    return 0;
}

int inspectEntry(const char* path, const char* name) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    int found = findNamed(archive, name);
    if (found < 0) return fail(path, "no entry named " + quoted(name));
    PakEntry entry = archive.entries[found];
    printf("entry %s, %u bytes\n", quoted(archive.names[found]).c_str(), entry.size);
    std::string problem;
    if (!reportModel(entry.bytes, entry.size, stdout, &problem)) {
        fflush(stdout);
        return fail(path,
                    "entry " + quoted(archive.names[found]) + " is not a well-formed model: " + problem);
    }
    return 0;
}

int usage() {
    fputs(kUsage, stderr);
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string command = argv[1];
    if (command == "list" && argc == 3) return listEntries(argv[2]);
    if (command == "create" && argc >= 4) return createArchive(argv[2], argv + 3, argc - 3);
    if (command == "extract" && argc == 4) return extractArchive(argv[2], argv[3]);
    if (command == "cat" && argc == 4) return catEntry(argv[2], argv[3]);
    if (command == "inspect" && argc == 4) return inspectEntry(argv[2], argv[3]);
    return usage();
}
