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
#include "world/Bonus.h"

#include <AL/al.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class TempFolder {
  public:
    TempFolder() {
        char Template[] = "/tmp/tarvix-sound-XXXXXX";
        Path = mkdtemp(Template) ? Template : "";
    }
    ~TempFolder() {
        if (!Path.empty()) std::system(("rm -rf '" + Path + "'").c_str());
    }
    std::string Path;
};

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

std::string WaveConfig(const std::string& OutPath) {
    return "[general]\ndrivers = wave\nfrequency = 44100\nchannels = stereo\n[wave]\nfile = " +
           OutPath + "\n";
}

void Wait(double Seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(Seconds));
}

// The game's listener call: at the player with the forward (1, 1, 1) and top (0, 0, 0) it passes.
void GameListener(float X, float Y, float Z) {
    const float P[3] = {X, Y, Z};
    const float V[3] = {0, 0, 0};
    SoundListenerSetAttributes(P, V, 1, 1, 1, 0, 0, 0);
}

// Plays one sample at (X, Y, Z) with the listener at the origin into the wave file and returns
// how loud the recording is.
double RecordPlayback(const std::string& Folder, const std::string& Sample, int Mode, float X,
                      float Y, float Z, int32_t Volume = 255) {
    const std::string Out = Folder + "/out.wav";
    std::remove(Out.c_str());
    InChild(Folder, WaveConfig(Out), [&] {
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
        Wait(0.6);
        SoundUpdate();
        SoundClose();
    });
    return Loudness(Out);
}

} // namespace

TEST(SoundDecode, WavFromFileAndFromMemory) {
    TempFolder        T;
    const std::string Path = T.Path + "/tone.wav";
    ASSERT_TRUE(WriteTone(Path, WavFormat, 2, 0.25));
    SoundPcm FromFile, FromMemory;
    ASSERT_TRUE(DecodeSoundFile(Path, FromFile));
    EXPECT_EQ(FromFile.Channels, 2);
    EXPECT_EQ(FromFile.SampleRate, 44100);
    EXPECT_EQ(FromFile.Samples.size(), size_t(11025) * 2);
    const std::vector<uint8_t> Bytes = ReadBytes(Path);
    ASSERT_TRUE(DecodeSoundMemory(Bytes.data(), Bytes.size(), FromMemory));
    EXPECT_EQ(FromMemory.Samples, FromFile.Samples);
}

// The game's own names use "\" as a separator as well.
TEST(SoundDecode, BackslashNamesAndMp3) {
    TempFolder T;
    ASSERT_EQ(std::system(("mkdir -p '" + T.Path + "/fx'").c_str()), 0);
    const std::string Path = T.Path + "/fx/tone.mp3";
    ASSERT_TRUE(WriteTone(Path, Mp3Format, 1, 0.5)) << "libsndfile cannot write MP3 here";
    SoundPcm Pcm;
    ASSERT_TRUE(DecodeSoundFile(T.Path + "\\fx\\tone.mp3", Pcm));
    EXPECT_EQ(Pcm.Channels, 1);
    EXPECT_EQ(Pcm.SampleRate, 44100);
    EXPECT_GT(Pcm.Samples.size(), size_t(20000));
    const std::vector<uint8_t> Bytes = ReadBytes(Path);
    SoundPcm                   FromMemory;
    ASSERT_TRUE(DecodeSoundMemory(Bytes.data(), Bytes.size(), FromMemory));
    EXPECT_EQ(FromMemory.Samples.size(), Pcm.Samples.size());
    EXPECT_GT(Loudness(Path), 3000.0);
}

TEST(SoundDecode, DamagedInputIsRefusedSafely) {
    SoundPcm Pcm;
    EXPECT_FALSE(DecodeSoundMemory(nullptr, 0, Pcm));
    const std::vector<uint8_t> Noise(1000, 0xA5);
    EXPECT_FALSE(DecodeSoundMemory(Noise.data(), Noise.size(), Pcm));
    EXPECT_FALSE(DecodeSoundFile("/nonexistent/sound.wav", Pcm));
    TempFolder        T;
    const std::string Path = T.Path + "/tone.wav";
    ASSERT_TRUE(WriteTone(Path, WavFormat, 1, 0.1));
    std::vector<uint8_t> Bytes = ReadBytes(Path);
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

// Inverse distance from 100 game units on: ten times as far is about a tenth as loud.
TEST(SoundPlayback, DistanceFactorSetsTheRolloff) {
    TempFolder        T;
    const std::string Sample = T.Path + "/xplbig.wav";
    ASSERT_TRUE(WriteTone(Sample, WavFormat, 1, 0.4));
    const double Near = RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 100, 0, 0);
    const double Far = RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 1000, 0, 0);
    ASSERT_GT(Near, 300.0);
    EXPECT_GT(Far, Near * 0.05);
    EXPECT_LT(Far, Near * 0.2);
}

TEST(SoundPlayback, UnpositionedSampleIgnoresPositions) {
    TempFolder        T;
    const std::string Sample = T.Path + "/button.mp3";
    ASSERT_TRUE(WriteTone(Sample, Mp3Format, 1, 0.4));
    EXPECT_GT(RecordPlayback(T.Path, Sample, SoundMode2D, 100000, 0, 0), 300.0);
}

TEST(SoundLayer, DegenerateListenerOrientationBecomesValid) {
    TempFolder T;
    InChild(T.Path, "[general]\ndrivers = null\n", [] {
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

// 32 channels; when every one is busy the oldest that does not loop is taken; stop all frees them.
TEST(SoundLayer, ChannelsAndReuse) {
    TempFolder        T;
    const std::string Long = T.Path + "/long.wav";
    ASSERT_TRUE(WriteTone(Long, WavFormat, 1, 5.0));
    InChild(T.Path, "[general]\ndrivers = null\n", [&] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        const SoundSample Loop = SoundSampleLoad(Long, SoundMode2D);
        const SoundSample Once = SoundSampleLoad(Long, SoundMode3D | SoundMode2D);
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
        for (int32_t C = 0; C < SoundChannelCount; ++C)
            EXPECT_FALSE(SoundChannelPlaying(C)) << C;
        EXPECT_EQ(SoundPlaySound(SoundFreeChannel, Once), 0);
        SoundClose();
        EXPECT_FALSE(SoundActive());
    });
}

// Sound off suppresses new sounds only.
TEST(SoundLayer, PlaySoundAtHonoursSoundEnabled) {
    TempFolder        T;
    const std::string Long = T.Path + "/long.wav";
    ASSERT_TRUE(WriteTone(Long, WavFormat, 1, 2.0));
    InChild(T.Path, "[general]\ndrivers = null\n", [&] {
        ASSERT_TRUE(SoundInit(44100, SoundChannelCount));
        const SoundSample S = SoundSampleLoad(Long, SoundMode3D | SoundMode2D);
        SoundEnabled = true;
        PlaySoundAt(S, 1, 2, 3);
        EXPECT_TRUE(SoundChannelPlaying(0));
        SoundEnabled = false;
        PlaySoundAt(S, 4, 5, 6);
        EXPECT_FALSE(SoundChannelPlaying(1));
        EXPECT_FLOAT_EQ(SoundPosition[0], 1.0f);
        EXPECT_TRUE(SoundChannelPlaying(0));
        SoundClose();
    });
}

// No device at all: every call is a silent no-op, with no message and no crash.
TEST(SoundLayer, NoDeviceMakesEveryCallANoOp) {
    TempFolder        T;
    const std::string Sample = T.Path + "/tone.wav";
    ASSERT_TRUE(WriteTone(Sample, WavFormat, 1, 0.1));
    InChild(T.Path, "[general]\ndrivers = nosuchbackend\n", [&] {
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

// The effects master volume scales every sound; 0 silences them.
TEST(SoundPlayback, MasterVolume) {
    TempFolder        T;
    const std::string Sample = T.Path + "/shot.wav";
    ASSERT_TRUE(WriteTone(Sample, WavFormat, 1, 0.4));
    const double Full = RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 50, 0, 0, 255);
    const double Half = RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 50, 0, 0, 128);
    const double Off = RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 50, 0, 0, 0);
    ASSERT_GT(Full, 300.0);
    EXPECT_NEAR(Half / Full, 128.0 / 255.0, 0.1);
    EXPECT_LT(Off, 1.0);
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
    {"bonus.wav", 300, 0.3},   {"alarm.mp3", 410, 0.3},  {"xplbig.wav", 530, 0.3}, {"xplsmall.wav", 670, 0.3},
    {"hitwall.mp3", 810, 0.3}, {"shot.mp3", 950, 0.3},   {"fire.mp3", 1130, 0.3},  {"fireburn.wav", 1290, 0.3},
    {"button.mp3", 1470, 0.3}, {"heart.mp3", 1700, 0.15},
};

bool WriteEffectTones(const std::string& Folder) {
    if (std::system(("mkdir -p '" + Folder + "/sound/fx'").c_str()) != 0) return false;
    for (const EffectTone& E : EffectTones) {
        const std::string Name(E.File);
        const int Format = Name.ends_with(".wav") ? WavFormat : Mp3Format;
        if (!WriteTone(Folder + "/sound/fx/" + Name, Format, 1, E.Seconds, E.Hz, 6000)) return false;
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

bool AnyChannelPlaying() {
    for (int32_t C = 0; C < SoundChannelCount; ++C)
        if (SoundChannelPlaying(C)) return true;
    return false;
}

// Polls Done every 10 ms for at most Limit seconds; true when it came true.
bool WaitFor(const std::function<bool()>& Done, double Limit) {
    const auto End = std::chrono::steady_clock::now() + std::chrono::duration<double>(Limit);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > End) return false;
        Wait(0.01);
    }
    return true;
}

// A battle with the player at the origin and the listener on it, the game's samples loaded from
// the tone files in Folder (the working folder of the child).
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
    std::function<void()> Happen; // makes the event happen in a fresh battle
    const char*           Heard;  // effect files heard, in the order of EffectTones
    float                 X, Y, Z; // where the last sample plays
};

// A shot of the player's in flight in slot 0, at (X, Z) with velocity VX along X.
void PlayerShotAt(float X, float Z, float VX) {
    Shot_Rec& S = Shots[0];
    S = Shot_Rec{};
    S.X = X, S.Y = float(GroundY), S.Z = Z, S.VX = VX;
    S.Life = 1000, S.Power = 20, S.Owner = 0, S.Bounces = true;
}

} // namespace

TEST(SoundEvents, EachEventPlaysItsSampleWhereItHappens) {
    const float     Y = float(GroundY);
    const SoundEvent Events[] = {
        {"the player fires", [] { FireShot(0); }, "shot.mp3", 0, Y, 0},
        {"a hit", [] { PlaceTank(1, 3, 0, 0); PlayerShotAt(3, 0, 0); ApplyHit(0, 1); },
         "xplsmall.wav", 3, Y, 0},
        {"a kill", [] { PlaceTank(1, 0, 4, 0).Energy = 5; PlayerShotAt(0, 4, 0); ApplyHit(0, 1); },
         "xplbig.wav xplsmall.wav", 0, Y, 4},
        {"the player falls below 25",
         [] { Actors[0].Energy = 30; PlaceTank(1, 2, 2, 0); PlayerShotAt(0, 0, 0);
              Shots[0].Owner = 1, Shots[0].Power = 10; ApplyHit(0, 0); },
         "alarm.mp3 xplsmall.wav heart.mp3", 0, Y, 0},
        {"a shot at the wall", [] { PlayerShotAt(499, 7, 5); UpdateShots(); }, "hitwall.mp3", 504, Y, 7},
        {"a bonus pickup", [] { PlaceBonus(1, 1, 1, 1); BonusPickup(1); }, "bonus.wav", 1, Y, 1},
        {"a menu click", [] { MenuItems[1].Used = true, MenuItems[1].Kind = KindButton;
                              MenuAction(1); }, "button.mp3", 0, 0, 0},
    };
    TempFolder T;
    ASSERT_TRUE(WriteEffectTones(T.Path)) << "libsndfile cannot write the tones here";
    for (const SoundEvent& E : Events) {
        SCOPED_TRACE(E.Name);
        const std::string Out = T.Path + "/out.wav";
        std::remove(Out.c_str());
        InChild(T.Path, WaveConfig(Out), [&] {
            ASSERT_EQ(chdir(T.Path.c_str()), 0);
            StartBattleWithTones();
            SoundPosition[0] = SoundPosition[1] = SoundPosition[2] = 0;
            E.Happen();
            EXPECT_EQ(SoundPosition[0], E.X);
            EXPECT_EQ(SoundPosition[1], E.Y);
            EXPECT_EQ(SoundPosition[2], E.Z);
            // Until everything has played out; a looping heartbeat ends the wait at the limit.
            WaitFor([] { return !AnyChannelPlaying(); }, 0.6);
            SoundClose();
        });
        EXPECT_EQ(HeardEffects(Out), E.Heard);
    }
}

// The heartbeat loops until all sounds stop: it still plays after the longer alarm has ended.
TEST(SoundEvents, TheHeartbeatLoopsUntilEverySoundStops) {
    TempFolder T;
    ASSERT_TRUE(WriteEffectTones(T.Path)) << "libsndfile cannot write the tones here";
    InChild(T.Path, "[general]\ndrivers = null\n", [&] {
        ASSERT_EQ(chdir(T.Path.c_str()), 0);
        StartBattleWithTones();
        Actors[0].Energy = 30;
        PlaceTank(1, 2, 2, 0);
        PlayerShotAt(0, 0, 0);
        Shots[0].Owner = 1;
        ApplyHit(0, 0); // the alarm on channel 0, the heartbeat on 1, the hit on 2
        ASSERT_TRUE(SoundChannelPlaying(1));
        ASSERT_TRUE(WaitFor([] { return !SoundChannelPlaying(0) && !SoundChannelPlaying(2); }, 5.0));
        EXPECT_TRUE(SoundChannelPlaying(1)) << "the heartbeat stopped with the alarm";
        SoundStopSound(SoundAllChannels);
        EXPECT_FALSE(AnyChannelPlaying());
        SoundClose();
    });
}

// The click of a menu button is not placed in the world: it is as loud with the player far away.
TEST(SoundEvents, AMenuClickIsHeardFullyFarFromTheOrigin) {
    TempFolder T;
    ASSERT_TRUE(WriteEffectTones(T.Path)) << "libsndfile cannot write the tones here";
    const std::string Out = T.Path + "/out.wav";
    InChild(T.Path, WaveConfig(Out), [&] {
        ASSERT_EQ(chdir(T.Path.c_str()), 0);
        StartBattleWithTones();
        Actors[0].X = 10000;
        UpdateSoundListener();
        MenuItems[1].Used = true, MenuItems[1].Kind = KindButton;
        MenuAction(1);
        WaitFor([] { return !AnyChannelPlaying(); }, 1.0);
        SoundClose();
    });
    EXPECT_GT(Loudness(Out), 1000.0);
}
