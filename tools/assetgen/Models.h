// Models: the nine model files of the game, in its text model format.
#pragma once
#include <string>

// Writes models/*.mdl under Root; false when a file cannot be written.
bool WriteModels(const std::string& Root);
