// PNG files through libpng: the screenshot writer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes Width x Height RGB pixels, rows from the top, 3 bytes a pixel. False when the file
// cannot be made or written; a half-written file is removed.
bool WritePng(const std::string& Path, int32_t Width, int32_t Height, const std::vector<uint8_t>& Rgb);

// Reads an 8-bit RGB or RGBA PNG into Rgb (rows from the top, 3 bytes a pixel). False for
// anything else or on any error.
bool ReadPng(const std::string& Path, int32_t& Width, int32_t& Height, std::vector<uint8_t>& Rgb);
