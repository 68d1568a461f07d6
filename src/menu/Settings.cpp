// Reading and writing the two settings files.
#include "menu/Settings.h"

int32_t DetailLevel = 2;
float   Anisotropy = 0.0f;
int16_t SoundVolume = 100;
bool    SoundEnabled = true;
bool    ShowPointerStars = true;
int32_t ArenaTanks = 10;
int32_t ArenaTurrets = 10;
int32_t ArenaBonus = 10;
int32_t ArenaStartEnergy = 100;
int32_t ArenaMaxShots = 2;
bool    ArenaRespawn = false;

void LoadSettings() {}
void SaveSettings() {}
void LoadLastArena() {}
void SaveLastArena() {}
