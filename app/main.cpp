#include "app/modes.h"

// The desktop hands the saver one command-line text; here the words arrive split.
int main(int argc, char** argv) {
    return runCommandLine(joinArguments(argc, argv));
}
