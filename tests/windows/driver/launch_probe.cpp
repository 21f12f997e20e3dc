// Started by the launch tests: writes its working folder, its argument count (the program name
// included) and its command line to "report".
#include <windows.h>

#include <cstdio>

int main() {
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    FILE* report = fopen("report", "wb");
    if (!report) return 1;
    fprintf(report, "%s\n%d\n%s", folder, __argc, GetCommandLineA());
    return fclose(report) == 0 ? 0 : 1;
}
