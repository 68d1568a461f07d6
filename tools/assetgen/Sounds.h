// Sounds: the ten effect samples, synthesised, mono, 22050 Hz.
#pragma once
#include <string>

constexpr int SoundRate = 22050;   // samples per second of every effect

// Writes sound/fx/*.wav (16-bit PCM) and sound/fx/*.mp3 (MPEG Layer III through libsndfile's LAME
// encoder); false when a file cannot be written.
bool WriteSounds(const std::string& Root);
