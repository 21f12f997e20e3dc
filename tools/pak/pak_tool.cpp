// pak: lists, creates, extracts and inspects the screensaver's .pak archives.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "pak/archive.h"
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

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

int listEntries(const char* path) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    for (size_t i = 0; i < archive.entries.size(); i++)
        printf("%10u  %s\n", archive.entries[i].size, archive.names[i].c_str());
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

// Refuses names that climb out of the prefix, and makes the folders the names contain.
bool prepareFolders(const char* path, const PakArchive& archive, const std::string& prefix) {
    for (size_t i = 0; i < archive.names.size(); i++) {
        const std::string& name = archive.names[i];
        std::string padded = "/" + name + "/";
        if (padded.find("/../") != std::string::npos) {
            fail(path, "entry " + quoted(name) + " would be written outside the prefix");
            return false;
        }
        std::string full = prefix + name;
        for (size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1))
            mkdir(full.substr(0, slash).c_str(), 0777);
    }
    return true;
}

int extractArchive(const char* path, const char* prefix) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    if (!prepareFolders(path, archive, prefix)) return 1;
    std::string failed;
    if (!archive.extractAll(prefix, &failed)) return fail(path, "cannot write " + quoted(failed));
    return 0;
}

int catEntry(const char* path, const char* name) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    PakEntry entry = archive.findEntry(name);
    if (!entry.bytes) return fail(path, "no entry named " + quoted(name));
    if (fwrite(entry.bytes, 1, entry.size, stdout) != entry.size || fflush(stdout) != 0)
        return fail(path, std::string("cannot write to standard output: ") + strerror(errno));
    return 0;
}

int inspectEntry(const char* path, const char* name) {
    PakArchive archive;
    if (!openArchive(&archive, path)) return 1;
    PakEntry entry = archive.findEntry(name);
    if (!entry.bytes) return fail(path, "no entry named " + quoted(name));
    printf("entry %s, %u bytes\n", quoted(name).c_str(), entry.size);
    std::string problem;
    if (!reportModel(entry.bytes, entry.size, stdout, &problem)) {
        fflush(stdout);
        return fail(path, "entry " + quoted(name) + " is not a well-formed model: " + problem);
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
