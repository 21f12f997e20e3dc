// The Windows entry point: the desktop hands the saver its command line as one text.
#include <SDL/SDL.h>
#include <windows.h>

#include "app/modes.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // SDL's own WinMain is not used, so it learns the instance here.
    SDL_SetModuleHandle(instance);
    return runCommandLine(commandLine ? commandLine : "");
}
