// The sound layer on OpenAL Soft with libsndfile decoding.
#include "sound/Sound.h"

SoundSample SndBonus = 0;
SoundSample SndAlarm = 0;
SoundSample SndExplosionBig = 0;
SoundSample SndExplosionSmall = 0;
SoundSample SndHitWall = 0;
SoundSample SndShot = 0;
SoundSample SndFire = 0;
SoundSample SndFireBurn = 0;
SoundSample SndButton = 0;
SoundSample SndHeart = 0;
float       SoundPosition[3] = {0.0f, 0.0f, 0.0f};

bool        SoundInit(int32_t, int32_t) { return false; }
SoundSample SoundSampleLoad(const std::string&, int32_t) { return 0; }
SoundSample SoundSampleLoadMemory(const uint8_t*, size_t, int32_t) { return 0; }
bool        SoundSampleSetMode(SoundSample, int32_t) { return false; }
int32_t     SoundPlaySound(int32_t, SoundSample) { return -1; }
bool        SoundSet3DAttributes(int32_t, const float[3], const float[3]) { return false; }
void SoundListenerSetAttributes(const float[3], const float[3], float, float, float, float, float, float) {}
void SoundSetDistanceFactor(float) {}
void SoundSetSFXMasterVolume(int32_t) {}
void SoundStopSound(int32_t) {}
void SoundUpdate() {}
void SoundClose() {}
bool SoundActive() { return false; }
bool SoundChannelPlaying(int32_t) { return false; }
bool DecodeSoundMemory(const uint8_t*, size_t, SoundPcm&) { return false; }
bool DecodeSoundFile(const std::string&, SoundPcm&) { return false; }
void LoadSoundEffects() {}
void PlaySoundAt(SoundSample, double, double, double) {}
