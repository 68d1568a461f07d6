// Key names as the platform's keyboard layer spells them ("Up", "A", "Space", "Left Ctrl"), to
// and from its key codes.
#pragma once
#include <cstdint>
#include <string>

constexpr int32_t UnknownKeyCode = 0; // the code of a name no key has

int32_t     KeyCodeFromName(const char* Name); // UnknownKeyCode when no key has that name
std::string KeyNameOf(int32_t Code);           // empty for a code without a name
