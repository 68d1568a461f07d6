// The settings the player chooses in the menu and the settings files keep: graphics detail,
// sound, and the custom arena's values. Read wherever they apply; the menu and the settings
// files write them.
#pragma once
#include <cstdint>

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
