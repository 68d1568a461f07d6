// The two settings files: the player's preferences in "./default.ini" and the custom arena in
// "./lastarena.ini". Every value read is checked against its range and replaced by a fixed
// fallback when outside it, so a damaged file cannot put the game where the menu cannot go.
//
// Also read and written here, declared by their owners: ResolutionWanted (shell/Window.h), the
// display toggles ShowLog, ShowCompass, ShowCrosshairs, ShowRadar, ShowHelp, ShowParticles
// (shell/Input.h), and the player's Name and colour in Actors[0] (world/World.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/Input.h"
#include "shell/Window.h"
#include "world/World.h"

constexpr const char* SettingsPath  = "./default.ini";   // the player's preferences
constexpr const char* LastArenaPath = "./lastarena.ini"; // the custom arena's values
constexpr size_t      PlayerNameMaxLength = 20;          // a longer name read is cut to this

extern int32_t DetailLevel;      // graphics detail: 1 low, 2 medium, 3 high
extern float   Anisotropy;       // anisotropic filtering level for texture loads; 0 none
extern bool    AnimatedModels;   // tanks step through their walk cycles; off: still models
extern int16_t SoundVolume;      // effects volume, percent 0..100
extern bool    SoundEnabled;     // sound effects on
extern bool    ShowPointerStars; // the little stars around the mouse pointer shown
extern int32_t ArenaTanks;       // custom arena: enemy tanks, 0..50
extern int32_t ArenaTurrets;     // custom arena: turrets, 0..50
extern int32_t ArenaBonus;       // custom arena: bonus items, 0..50
extern int32_t ArenaStartEnergy; // custom arena: the player's energy at the start, 10..1000
extern int32_t ArenaMaxShots;    // custom arena: player's shots in flight at once, 1..20
extern bool    ArenaRespawn;     // custom arena: destroyed enemies and items come back at once

// Preferences: both end by throwing a burst of pointer stars from each top corner.
void LoadSettings();
void SaveSettings();

// The custom arena: no stars.
void LoadLastArena();
void SaveLastArena();
