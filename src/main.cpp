// Program entry: everything else lives in tarvix_core.
#include "shell/App.h"

int main(int argc, char** argv) { return RunProgram(argc, argv); }
