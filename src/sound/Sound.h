// The sound layer: a small sample and channel API over OpenAL Soft and libsndfile, the ten
// effect samples of the game and PlaySoundAt.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using SoundSample = int32_t; // sample handle; 0 is "no sample" and plays silently

constexpr int32_t SoundMode3D = 0x1000;   // sample plays positioned (mono buffer)
constexpr int32_t SoundMode2D = 0x2000;   // sample may play unpositioned
constexpr int32_t SoundLoopOff = 1;       // play once
constexpr int32_t SoundLoopNormal = 2;    // loop until stopped
constexpr int32_t SoundFreeChannel = -1;  // any free channel
constexpr int32_t SoundAllChannels = -3;  // every channel, for SoundStopSound
constexpr int32_t SoundChannelCount = 32; // channels the layer mixes at once

// Interleaved 16-bit PCM decoded from a sound file.
struct SoundPcm {
    std::vector<int16_t> Samples;    // frames x channels values
    int32_t              Channels;   // 1 mono, 2 stereo
    int32_t              SampleRate; // frames per second
};

bool        SoundInit(int32_t MixRate, int32_t MaxChannels); // opens the device; false when none
SoundSample SoundSampleLoad(const std::string& Path, int32_t Mode);
SoundSample SoundSampleLoadMemory(const uint8_t* Data, size_t Size, int32_t Mode);
bool        SoundSampleSetMode(SoundSample Sample, int32_t LoopMode);
int32_t     SoundPlaySound(int32_t Channel, SoundSample Sample); // channel played on, -1 when none
bool        SoundSet3DAttributes(int32_t Channel, const float Position[3], const float Velocity[3]);
void SoundListenerSetAttributes(const float Position[3], const float Velocity[3], float ForwardX,
                                float ForwardY, float ForwardZ, float TopX, float TopY, float TopZ);
void SoundSetDistanceFactor(float Factor);    // game units per distance unit
void SoundSetSFXMasterVolume(int32_t Volume); // 0 to 255
void SoundStopSound(int32_t Channel);         // a channel, or SoundAllChannels
void SoundUpdate();
void SoundClose();
bool SoundActive(); // a device is open and every call is heard
bool SoundChannelPlaying(int32_t Channel);

// Decodes a whole sound file held in memory (WAV, MP3, anything libsndfile reads) to PCM.
bool DecodeSoundMemory(const uint8_t* Data, size_t Size, SoundPcm& Out);
bool DecodeSoundFile(const std::string& Path, SoundPcm& Out);

extern SoundSample SndBonus;          // "sound/fx/bonus.wav", positioned
extern SoundSample SndAlarm;          // "sound/fx/alarm.mp3", positioned
extern SoundSample SndExplosionBig;   // "sound/fx/xplbig.wav", positioned
extern SoundSample SndExplosionSmall; // "sound/fx/xplsmall.wav", positioned
extern SoundSample SndHitWall;        // "sound/fx/hitwall.mp3", positioned
extern SoundSample SndShot;           // "sound/fx/shot.mp3", positioned
extern SoundSample SndFire;           // "sound/fx/fire.mp3", positioned; loaded, never played
extern SoundSample SndFireBurn;       // "sound/fx/fireburn.wav", positioned; loaded, never played
extern SoundSample SndButton;         // "sound/fx/button.mp3", unpositioned menu click
extern SoundSample SndHeart;          // "sound/fx/heart.mp3", unpositioned, loops until stopped
extern float       SoundPosition[3];  // position of the latest PlaySoundAt, game units

// First game setup: opens the layer (44100 Hz, 32 channels) and loads the ten samples.
void LoadSoundEffects();

// Plays a sample at a place in the arena (only while sound is enabled).
void PlaySoundAt(SoundSample Sample, double X, double Y, double Z);
