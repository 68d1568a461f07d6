// Program start, the main loop and shut-down (being built up; see Window, Timer, Input).
#include "shell/App.h"

int RunProgram(int, char**) { return 0; }
