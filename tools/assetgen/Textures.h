// Textures: every picture of the game's texture list, the sky cube and the model materials' maps.
#pragma once
#include <string>

// Each writes its files under Root ("textures/..." or "skybox/...") and returns false on a write error.
bool WriteGameTextures(const std::string& Root);    // the sprites, ground and wall of the texture list
bool WriteModelTextures(const std::string& Root);   // the colour maps the model materials name
bool WriteSkybox(const std::string& Root);          // fr, bk, lf, rt and up
