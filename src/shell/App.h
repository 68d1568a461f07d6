// Program start, the main loop and shut-down.
#pragma once

int RunProgram(int argc, char** argv); // the main routine; returns the process exit status
