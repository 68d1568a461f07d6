// The player's tank control.
#include "world/Player.h"

bool FireLatch = false;
