// Pointer stars (the star table and drawing arrive with the menu drawing unit).
#include "menu/PointerStars.h"

void SpawnPointerStars(int32_t, bool, double, double) {}
