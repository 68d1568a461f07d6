// The per-frame actor pass and the enemies' behaviour.
#include "world/Actors.h"
