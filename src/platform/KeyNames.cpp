// Key names through SDL's keyboard tables.
#include "platform/KeyNames.h"

#include <SDL.h>

static_assert(UnknownKeyCode == SDLK_UNKNOWN);

int32_t KeyCodeFromName(const char* Name) { return SDL_GetKeyFromName(Name); }

std::string KeyNameOf(int32_t Code) { return SDL_GetKeyName(Code); }
