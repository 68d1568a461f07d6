// The frame dispatcher.
#include "shell/Frame.h"

void DrawFrame() {}
