// The sound layer: decoding WAV and MP3 (from files and from memory), and playback through
// OpenAL Soft. OpenAL Soft reads its configuration once per process, so every playback case
// runs in a child process of its own with its own ALSOFT_CONF: the wave-file backend to hear
// what was played, the null backend, or no usable backend at all.
#include "sound/Sound.h"
#include "menu/Menu.h"
#include "menu/MenuInput.h"
#include "menu/Settings.h"
#include "platform/Platform.h"
#include "support/BattleFixture.h"
#include "support/SoundChild.h"
#include "support/TempFolder.h"
#include "support/Wait.h"
#include "world/Bonus.h"

#include <AL/al.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A tone written by libsndfile in the given major format: Seconds of a sine of Hz.
bool WriteTone(const std::string& Path, int Format, int Channels, double Seconds, double Hz = 440,
               double Amplitude = 12000) {
    SF_INFO Info = {};
    Info.samplerate = 44100;
    Info.channels = Channels;
    Info.format = Format;
    SNDFILE* File = sf_open(Path.c_str(), SFM_WRITE, &Info);
    if (!File) return false;
    const sf_count_t   Frames = sf_count_t(Seconds * 44100);
    std::vector<short> Data(size_t(Frames) * size_t(Channels));
    for (sf_count_t F = 0; F < Frames; ++F)
        for (int C = 0; C < Channels; ++C)
            Data[size_t(F) * size_t(Channels) + size_t(C)] =
                short(Amplitude * std::sin(2 * M_PI * Hz * double(F) / 44100));
    const sf_count_t Written = sf_writef_short(File, Data.data(), Frames);
    sf_close(File);
    return Written == Frames;
}

const int WavFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
const int Mp3Format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;

std::vector<uint8_t> ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(In)),
                                std::istreambuf_iterator<char>());
}

// Root mean square of every value in a sound file; -1 when it cannot be read.
double Loudness(const std::string& Path) {
    SoundPcm Pcm;
    if (!DecodeSoundFile(Path, Pcm)) return -1.0;
    double Sum = 0.0;
    for (int16_t V : Pcm.Samples)
        Sum += double(V) * V;
    return std::sqrt(Sum / double(Pcm.Samples.size()));
}

// The wave-file backend, recording everything played into "out.wav" of the working folder.
const std::string WaveConfig =
    "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\n[wave]\nfile = out.wav\n";
const std::string NullConfig = "[general]\ndrivers = null\n";

bool AnyChannelPlaying() {
    for (int32_t C = 0; C < SoundChannelCount; ++C)
        if (SoundChannelPlaying(C)) return true;
    return false;
}

// The game's listener call: at the player with the forward (1, 1, 1) and top (0, 0, 0) it passes.
void GameListener(float X, float Y, float Z) {
    const float P[3] = {X, Y, Z};
    const float V[3] = {0, 0, 0};
    SoundListenerSetAttributes(P, V, 1, 1, 1, 0, 0, 0);
}

// Plays one sample of the working folder at (X, Y, Z) with the listener at the origin into the
// wave file, until it has played out, and returns how loud the recording is.
double RecordPlayback(const std::string& Sample, int Mode, float X, float Y, float Z,
                      int32_t Volume = 255) {
    std::remove("out.wav");
    InChild(".", WaveConfig, [&] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        ASSERT_TRUE(SoundActive());
        const SoundSample S = SoundSampleLoad(Sample, Mode);
        ASSERT_NE(S, 0);
        SoundSetDistanceFactor(100.0f);
        SoundSetSFXMasterVolume(Volume);
        GameListener(0, 0, 0);
        SoundEnabled = true;
        PlaySoundAt(S, X, Y, Z);
        EXPECT_FLOAT_EQ(SoundPosition[0], X);
        EXPECT_TRUE(WaitUntil([] { return !AnyChannelPlaying(); }, 5.0));
        SoundUpdate();
        SoundClose();
    });
    return Loudness("out.wav");
}

} // namespace

// Both formats of the game's samples decode alike from a file, named with "\" as the game's
// names are, and from memory: every frame, at the loudness written.
TEST(SoundDecode, WavAndMp3FromFileAndFromMemory) {
    clsTempFolder T;
    ASSERT_TRUE(std::filesystem::create_directory("fx"));
    for (const auto& [Name, Format, Channels] :
         {std::tuple{"tone.wav", WavFormat, 2}, std::tuple{"tone.mp3", Mp3Format, 1}}) {
        SCOPED_TRACE(Name);
        const std::string Path = std::string("fx/") + Name;
        ASSERT_TRUE(WriteTone(Path, Format, Channels, 0.5)) << "libsndfile cannot write it here";
        SoundPcm FromFile, FromMemory;
        ASSERT_TRUE(DecodeSoundFile(std::string("fx\\") + Name, FromFile));
        EXPECT_EQ(FromFile.Channels, Channels);
        EXPECT_EQ(FromFile.SampleRate, 44100);
        // 22050 frames written; MP3 adds its encoder's delay and padding.
        EXPECT_GE(FromFile.Samples.size(), size_t(22050 * Channels));
        EXPECT_LT(FromFile.Samples.size(), size_t(24050 * Channels));
        EXPECT_GT(Loudness(Path), 3000.0) << "an amplitude of 12000";
        const std::vector<uint8_t> Bytes = ReadBytes(Path);
        ASSERT_TRUE(DecodeSoundMemory(Bytes.data(), Bytes.size(), FromMemory));
        EXPECT_EQ(FromMemory.Samples, FromFile.Samples);
    }
}

TEST(SoundDecode, DamagedInputIsRefusedSafely) {
    SoundPcm Pcm;
    EXPECT_FALSE(DecodeSoundMemory(nullptr, 0, Pcm));
    const std::vector<uint8_t> Noise(1000, 0xA5);
    EXPECT_FALSE(DecodeSoundMemory(Noise.data(), Noise.size(), Pcm));
    EXPECT_FALSE(DecodeSoundFile("/nonexistent/sound.wav", Pcm));
    clsTempFolder T;
    ASSERT_TRUE(WriteTone("tone.wav", WavFormat, 1, 0.1));
    std::vector<uint8_t> Bytes = ReadBytes("tone.wav");
    // Every cut of the file either decodes what is there or is refused, never reads past it.
    for (size_t Cut :
         {size_t(4), size_t(12), size_t(40), size_t(44), size_t(45), Bytes.size() / 2}) {
        SoundPcm Part;
        if (DecodeSoundMemory(Bytes.data(), Cut, Part)) {
            EXPECT_LE(Part.Samples.size() * 2, Cut);
        }
    }
    // A header that claims a huge channel count.
    Bytes[22] = 0xFF;
    Bytes[23] = 0x7F;
    SoundPcm Wide;
    EXPECT_FALSE(DecodeSoundMemory(Bytes.data(), Bytes.size(), Wide));
}

// One sample played at the game's distance factor: inverse distance from 100 game units on (ten
// times as far is about a tenth as loud), scaled by the effects master volume (0 silences it).
TEST(SoundPlayback, DistanceAndMasterVolumeSetTheLoudness) {
    clsTempFolder T;
    ASSERT_TRUE(WriteTone("xplbig.wav", WavFormat, 1, 0.4));
    const int    Mode = SoundMode3D | SoundMode2D;
    const double Near = RecordPlayback("xplbig.wav", Mode, 100, 0, 0);
    ASSERT_GT(Near, 300.0);
    const double Far = RecordPlayback("xplbig.wav", Mode, 1000, 0, 0);
    EXPECT_GT(Far, Near * 0.05);
    EXPECT_LT(Far, Near * 0.2);
    EXPECT_NEAR(RecordPlayback("xplbig.wav", Mode, 100, 0, 0, 128) / Near, 128.0 / 255.0, 0.1);
    EXPECT_LT(RecordPlayback("xplbig.wav", Mode, 100, 0, 0, 0), 1.0);
}

TEST(SoundLayer, DegenerateListenerOrientationBecomesValid) {
    clsTempFolder T;
    InChild(".", NullConfig, [] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        GameListener(10, -179, 20);
        float O[6] = {};
        alGetListenerfv(AL_ORIENTATION, O);
        for (float V : O)
            EXPECT_TRUE(std::isfinite(V));
        const float Forward = O[0] * O[0] + O[1] * O[1] + O[2] * O[2];
        const float Up = O[3] * O[3] + O[4] * O[4] + O[5] * O[5];
        EXPECT_NEAR(Forward, 1.0f, 1e-4f);
        EXPECT_NEAR(Up, 1.0f, 1e-4f);
        EXPECT_NEAR(O[0] * O[3] + O[1] * O[4] + O[2] * O[5], 0.0f, 1e-4f);
        EXPECT_NEAR(O[0], O[1], 1e-5f) << "forward keeps the direction the game gave";
        // A vertical forward with no top, and nothing at all.
        const float P[3] = {0, 0, 0};
        SoundListenerSetAttributes(P, P, 0, 1, 0, 0, 0, 0);
        alGetListenerfv(AL_ORIENTATION, O);
        EXPECT_NEAR(O[3] * O[3] + O[4] * O[4] + O[5] * O[5], 1.0f, 1e-4f);
        SoundListenerSetAttributes(P, P, 0, 0, 0, 0, 0, 0);
        alGetListenerfv(AL_ORIENTATION, O);
        for (float V : O)
            EXPECT_TRUE(std::isfinite(V));
        EXPECT_EQ(alGetError(), AL_NO_ERROR);
        SoundClose();
    });
}

// 32 channels; when every one is busy the oldest that does not loop is taken; stop all frees
// them. Sound switched off keeps new sounds from starting, and only new ones.
TEST(SoundLayer, ChannelsReuseAndSoundOff) {
    clsTempFolder T;
    ASSERT_TRUE(WriteTone("long.wav", WavFormat, 1, 5.0));
    InChild(".", NullConfig, [&] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        const SoundSample Loop = SoundSampleLoad("long.wav", SoundMode2D);
        const SoundSample Once = SoundSampleLoad("long.wav", SoundMode3D | SoundMode2D);
        ASSERT_NE(Loop, 0);
        ASSERT_NE(Once, 0);
        EXPECT_TRUE(SoundSampleSetMode(Loop, SoundLoopNormal));
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, Loop), 0);
        for (int32_t C = 1; C < SoundChannelCount; ++C)
            EXPECT_EQ(SoundPlaySound(SoundFreeChannel, Once), C);
        for (int32_t C = 0; C < SoundChannelCount; ++C)
            EXPECT_TRUE(SoundChannelPlaying(C)) << C;
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, Once), 1) << "oldest non-looping channel";
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, Once), 2);
        EXPECT_TRUE(SoundChannelPlaying(0)) << "the loop keeps its channel";
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, 0), -1) << "no sample, no sound";
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, 99), -1);
        SoundStopSound(SoundAllChannels);
        SoundUpdate();
        EXPECT_FALSE(AnyChannelPlaying());

        SoundEnabled = true;
        PlaySoundAt(Once, 1, 2, 3);
        EXPECT_TRUE(SoundChannelPlaying(0));
        SoundEnabled = false;
        PlaySoundAt(Once, 4, 5, 6);
        EXPECT_FALSE(SoundChannelPlaying(1));
        EXPECT_FLOAT_EQ(SoundPosition[0], 1.0f);
        EXPECT_TRUE(SoundChannelPlaying(0));
        SoundClose();
        EXPECT_FALSE(SoundActive());
    });
}

// No device at all: every call is a silent no-op, with no message and no crash.
TEST(SoundLayer, NoDeviceMakesEveryCallANoOp) {
    clsTempFolder     T;
    const std::string Sample = "tone.wav";
    ASSERT_TRUE(WriteTone(Sample, WavFormat, 1, 0.1));
    InChild(".", "[general]\ndrivers = nosuchbackend\n", [&] {
        const int Shown = MessagesShown;
        EXPECT_FALSE(SoundInit(44100, SoundChannelCount));
        EXPECT_FALSE(SoundActive());
        const SoundSample S = SoundSampleLoad(Sample, SoundMode3D | SoundMode2D);
        EXPECT_EQ(S, 0);
        const std::vector<uint8_t> Bytes = ReadBytes(Sample);
        EXPECT_EQ(SoundSampleLoadMemory(Bytes.data(), Bytes.size(), SoundMode2D), 0);
        EXPECT_FALSE(SoundSampleSetMode(S, SoundLoopNormal));
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, S), -1);
        const float P[3] = {1, 2, 3};
        EXPECT_FALSE(SoundSet3DAttributes(0, P, P));
        GameListener(1, 2, 3);
        SoundSetDistanceFactor(100.0f);
        SoundSetSFXMasterVolume(128);
        SoundEnabled = true;
        PlaySoundAt(S, 1, 2, 3);
        LoadSoundEffects();
        EXPECT_EQ(SndHeart, 0);
        SoundStopSound(SoundAllChannels);
        SoundUpdate();
        SoundClose();
        EXPECT_EQ(MessagesShown, Shown);
    });
}

// --- Which sample each game event plays ------------------------------------------------------

namespace {

// The game's ten effect files, each written as a tone of its own pitch so that a recording
// tells which samples were heard; soft enough that three at once do not clip. The heartbeat is
// shorter than the alarm that comes with it.
struct EffectTone {
    const char* File;
    double      Hz, Seconds;
};
const EffectTone EffectTones[] = {
    {"bonus.wav", 300, 0.3},    {"alarm.mp3", 410, 0.3},     {"xplbig.wav", 530, 0.3},
    {"xplsmall.wav", 670, 0.3}, {"hitwall.mp3", 810, 0.3},   {"shot.mp3", 950, 0.3},
    {"fire.mp3", 1130, 0.3},    {"fireburn.wav", 1290, 0.3}, {"button.mp3", 1470, 0.3},
    {"heart.mp3", 1700, 0.15},
};

// Writes them into "sound/fx" of the working folder.
bool WriteEffectTones() {
    std::filesystem::create_directories("sound/fx");
    for (const EffectTone& E : EffectTones) {
        const std::string Name(E.File);
        const int         Format = Name.ends_with(".wav") ? WavFormat : Mp3Format;
        if (!WriteTone("sound/fx/" + Name, Format, 1, E.Seconds, E.Hz, 6000)) return false;
    }
    return true;
}

// Strength of the pitch Hz in a recording (Goertzel), as the amplitude of a sine over the whole;
// the strongest within 4 Hz, since a looped tone splits its pitch into lines a few hertz apart.
double PitchStrength(const std::vector<double>& Mono, double Hz) {
    double Strongest = 0;
    for (double F = Hz - 4; F <= Hz + 4; F += 1) {
        const double W = 2 * M_PI * F / 44100;
        double       S1 = 0, S2 = 0;
        for (double V : Mono) {
            const double S0 = V + 2 * std::cos(W) * S1 - S2;
            S2 = S1;
            S1 = S0;
        }
        const double Power = S1 * S1 + S2 * S2 - 2 * std::cos(W) * S1 * S2;
        Strongest = std::max(Strongest, 2 * std::sqrt(std::max(Power, 0.0)) / double(Mono.size()));
    }
    return Strongest;
}

// The effect files whose pitch is clearly heard in the recording at Path, as "file file ...".
std::string HeardEffects(const std::string& Path) {
    SoundPcm Pcm;
    if (!DecodeSoundFile(Path, Pcm) || Pcm.Channels < 1) return "(no recording)";
    std::vector<double> Mono(Pcm.Samples.size() / size_t(Pcm.Channels));
    for (size_t I = 0; I < Pcm.Samples.size(); ++I)
        Mono[I / size_t(Pcm.Channels)] += Pcm.Samples[I];
    double Strongest = 0;
    for (const EffectTone& E : EffectTones)
        Strongest = std::max(Strongest, PitchStrength(Mono, E.Hz));
    std::string Heard;
    for (const EffectTone& E : EffectTones)
        if (Strongest > 50 && PitchStrength(Mono, E.Hz) > 0.1 * Strongest)
            Heard += (Heard.empty() ? "" : " ") + std::string(E.File);
    return Heard;
}

// A battle with the player at the origin and the listener on it, the game's samples loaded from
// the tone files of the working folder.
void StartBattleWithTones() {
    ResetBattleWorld(0, 0, 0);
    LoadSoundEffects();
    ASSERT_TRUE(SoundActive());
    SoundSetDistanceFactor(100.0f);
    SoundSetSFXMasterVolume(255);
    SoundEnabled = true;
    ArenaRespawn = false;
    UpdateSoundListener();
}

struct SoundEvent {
    const char*           Name;
    std::function<void()> Happen;  // makes the event happen in a fresh battle
    const char*           Heard;   // effect files heard, in the order of EffectTones
    float                 X, Y, Z; // where the last sample plays
};

} // namespace

TEST(SoundEvents, EachEventPlaysItsSampleWhereItHappens) {
    const float      Y = float(GroundY);
    const SoundEvent Events[] = {
        {"the player fires", [] { FireShot(0); }, "shot.mp3", 0, Y, 0},
        {"a hit",
         [] {
             PlaceTank(1, 3, 0, 0);
             PlaceShot(0, 0, 3, 0);
             ApplyHit(0, 1);
         },
         "xplsmall.wav", 3, Y, 0},
        {"a kill",
         [] {
             PlaceTank(1, 0, 4, 0).Energy = 5;
             PlaceShot(0, 0, 0, 4);
             ApplyHit(0, 1);
         },
         "xplbig.wav xplsmall.wav", 0, Y, 4},
        {"the player falls below 25",
         [] {
             Actors[0].Energy = 30;
             PlaceTank(1, 2, 2, 0);
             PlaceShot(0, 1, 0, 0);
             ApplyHit(0, 0);
         },
         "alarm.mp3 xplsmall.wav heart.mp3", 0, Y, 0},
        {"a shot at the wall",
         [] {
             PlaceShot(0, 0, 499, 7).VX = 5;
             UpdateShots();
         },
         "hitwall.mp3", 504, Y - 2, 7},
        {"a bonus pickup",
         [] {
             PlaceBonus(1, 1, 1, 1);
             BonusPickup(1);
         },
         "bonus.wav", 1, Y, 1},
        {"a menu click",
         [] {
             MenuItems[1].Used = true, MenuItems[1].Kind = KindButton;
             MenuAction(1);
         },
         "button.mp3", 0, 0, 0},
    };
    clsTempFolder T;
    ASSERT_TRUE(WriteEffectTones()) << "libsndfile cannot write the tones here";
    for (const SoundEvent& E : Events) {
        SCOPED_TRACE(E.Name);
        std::remove("out.wav");
        InChild(".", WaveConfig, [&] {
            StartBattleWithTones();
            SoundPosition[0] = SoundPosition[1] = SoundPosition[2] = 0;
            E.Happen();
            EXPECT_EQ(SoundPosition[0], E.X);
            EXPECT_EQ(SoundPosition[1], E.Y);
            EXPECT_EQ(SoundPosition[2], E.Z);
            // Until everything has played out; a looping heartbeat ends the wait at the limit.
            WaitUntil([] { return !AnyChannelPlaying(); }, 0.6);
            SoundClose();
        });
        EXPECT_EQ(HeardEffects("out.wav"), E.Heard);
    }
}

// The heartbeat loops until all sounds stop: it still plays after the longer alarm has ended,
// and a bonus pickup (even one that repairs the player) leaves it running.
TEST(SoundEvents, TheHeartbeatLoopsUntilEverySoundStops) {
    clsTempFolder T;
    ASSERT_TRUE(WriteEffectTones()) << "libsndfile cannot write the tones here";
    InChild(".", NullConfig, [&] {
        StartBattleWithTones();
        Actors[0].Energy = 30;
        PlaceTank(1, 2, 2, 0);
        PlaceShot(0, 1, 0, 0);
        ApplyHit(0, 0); // the alarm on channel 0, the heartbeat on 1, the hit on 2
        ASSERT_TRUE(SoundChannelPlaying(1));
        PlaceBonus(2, 1, 1, 2);
        BonusPickup(2); // the chime on channel 3
        ASSERT_TRUE(SoundChannelPlaying(3));
        ASSERT_TRUE(WaitUntil(
            [] {
                return !SoundChannelPlaying(0) && !SoundChannelPlaying(2) &&
                       !SoundChannelPlaying(3);
            },
            5.0));
        EXPECT_TRUE(SoundChannelPlaying(1)) << "the heartbeat stopped with the alarm or the pickup";
        SoundStopSound(SoundAllChannels);
        EXPECT_FALSE(AnyChannelPlaying());
        SoundClose();
    });
}

// The click of a menu button is not placed in the world: it is as loud with the player far away.
TEST(SoundEvents, AMenuClickIsHeardFullyFarFromTheOrigin) {
    clsTempFolder T;
    ASSERT_TRUE(WriteEffectTones()) << "libsndfile cannot write the tones here";
    InChild(".", WaveConfig, [&] {
        StartBattleWithTones();
        Actors[0].X = 10000;
        UpdateSoundListener();
        MenuItems[1].Used = true, MenuItems[1].Kind = KindButton;
        MenuAction(1);
        WaitUntil([] { return !AnyChannelPlaying(); }, 1.0);
        SoundClose();
    });
    EXPECT_GT(Loudness("out.wav"), 1000.0);
}
