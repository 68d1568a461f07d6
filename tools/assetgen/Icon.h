// Icon: the game's desktop icon, drawn here and written as a PNG with transparency.
#pragma once
#include <string>

constexpr int IconSize = 256; // pixels on a side

// Writes Dir/icon/tarvix.png. False when it cannot be written (the reason is printed on stderr).
bool WriteIcon(const std::string& Dir);
