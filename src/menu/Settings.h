// The two settings files: the player's preferences in "./default.ini" and the custom arena in
// "./lastarena.ini". Every value read is checked against its range and replaced by a fixed
// fallback when outside it, so a damaged file cannot put the game where the menu cannot go.
//
// Also read and written here, declared by their owners: ResolutionWanted (core/Screen.h), the
// display toggles ShowLog, ShowCompass, ShowCrosshairs, ShowRadar, ShowHelp, ShowParticles
// (core/InputState.h), and the player's Name and colour in Actors[0] (world/World.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/InputState.h"
#include "core/Screen.h"
#include "core/SettingValues.h"
#include "world/World.h"

constexpr const char* SettingsPath  = "./default.ini";   // the player's preferences
constexpr const char* LastArenaPath = "./lastarena.ini"; // the custom arena's values
constexpr size_t      PlayerNameMaxLength = 20;          // a longer name read is cut to this

// Preferences: both end by throwing a burst of pointer stars from each top corner.
void LoadSettings();
void SaveSettings();

// The custom arena: no stars.
void LoadLastArena();
void SaveLastArena();
void SetArenaDefaults(); // the values a first start offers, as without "./lastarena.ini"
