// The game's two font sheets made from the generated data, for drawing tests that need them.
#pragma once
#include <cstdint>
#include <filesystem>

#include "render/OrinGLFont.h"

// Creates SmallFont and BigFont for a Width x Height screen from the sheets in TARVIX_DATA_DIR,
// opened by the game's relative paths from there. False, with nothing made, when the generator
// has not written the sheets yet.
inline bool CreateGeneratedFonts(int32_t Width, int32_t Height) {
    const std::filesystem::path Data = TARVIX_DATA_DIR;
    if (!std::filesystem::exists(Data / "fonts" / "font.jpg") ||
        !std::filesystem::exists(Data / "fonts" / "big.jpg"))
        return false;
    const std::filesystem::path Here = std::filesystem::current_path();
    std::filesystem::current_path(Data);
    CreateGameFonts(Width, Height);
    std::filesystem::current_path(Here);
    return true;
}
