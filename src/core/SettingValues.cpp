// The settings' values before any settings file is read.
#include "core/SettingValues.h"

int32_t DetailLevel = 2;
float   Anisotropy = 0.0f;
bool    AnimatedModels = true;
int16_t SoundVolume = 100;
bool    SoundEnabled = true;
bool    ShowPointerStars = true;
int32_t ArenaTanks = 10;
int32_t ArenaTurrets = 10;
int32_t ArenaBonus = 10;
int32_t ArenaStartEnergy = 100;
int32_t ArenaMaxShots = 2;
bool    ArenaRespawn = false;
