// Fonts: the two bitmap-font sheets, white glyphs on black in a grid of equal cells.
#pragma once
#include <string>

// Character order of the sheets' cells, row by row from the top-left cell.
std::string SmallFontCharSet();                  // 98 characters, 14 x 7 cells
extern const char* const BigFontCharSet;         // 42 characters, 6 x 7 cells

// Writes fonts/font.jpg and fonts/big.jpg; false when a character has no glyph or a file cannot be written.
bool WriteFonts(const std::string& Root);
