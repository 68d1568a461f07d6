// The sound layer: decoding WAV and MP3 (from files and from memory), and playback through
// OpenAL Soft. OpenAL Soft reads its configuration once per process, so every playback case
// runs in a child process of its own with its own ALSOFT_CONF: the wave-file backend to hear
// what was played, the null backend, or no usable backend at all.
#include "sound/Sound.h"
#include "menu/Settings.h"
#include "platform/Platform.h"

#include <AL/al.h>
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

// A tone written by libsndfile in the given major format: Seconds of a 440 Hz sine.
bool WriteTone(const std::string& Path, int Format, int Channels, double Seconds) {
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
                short(12000 * std::sin(2 * M_PI * 440 * double(F) / 44100));
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

// Runs Body in a child process with ALSOFT_CONF naming a file with Config; the child's own
// gtest expectations decide its exit status, and its failures print as usual.
void InChild(const std::string& Folder, const std::string& Config,
             const std::function<void()>& Body) {
    const std::string ConfPath = Folder + "/alsoft.conf";
    std::ofstream(ConfPath) << Config;
    std::fflush(stdout);
    const pid_t Pid = fork();
    ASSERT_GE(Pid, 0);
    if (Pid == 0) {
        setenv("ALSOFT_CONF", ConfPath.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        Body();
        std::fflush(stdout);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int How = 0;
    ASSERT_EQ(waitpid(Pid, &How, 0), Pid);
    ASSERT_TRUE(WIFEXITED(How)) << "the child died by signal " << WTERMSIG(How);
    EXPECT_EQ(WEXITSTATUS(How), 0) << "see the child's failures above";
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

TEST(SoundPlayback, PositionedWavIsHeard) {
    TempFolder        T;
    const std::string Sample = T.Path + "/bonus.wav";
    ASSERT_TRUE(WriteTone(Sample, WavFormat, 1, 0.4));
    EXPECT_GT(RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 50, 0, 0), 300.0);
}

TEST(SoundPlayback, Mp3SampleIsHeard) {
    TempFolder        T;
    const std::string Sample = T.Path + "/shot.mp3";
    ASSERT_TRUE(WriteTone(Sample, Mp3Format, 2, 0.4));
    EXPECT_GT(RecordPlayback(T.Path, Sample, SoundMode3D | SoundMode2D, 0, 0, 50), 300.0);
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

// The ten samples the game loads at its first setup, from the generated data: all load, the
// heartbeat loops, and a positioned one plays.
TEST(SoundLayer, GameSamplesLoadFromTheDataFolder) {
    const std::string Fx = std::string(TARVIX_DATA_DIR) + "/sound/fx";
    if (access((Fx + "/shot.mp3").c_str(), R_OK) != 0)
        GTEST_SKIP() << "no generated sound samples in " << Fx;
    TempFolder T;
    ASSERT_EQ(std::system(("mkdir -p '" + T.Path + "/sound' && ln -s '" + Fx + "' '" + T.Path +
                           "/sound/fx'")
                              .c_str()),
              0);
    InChild(T.Path, "[general]\ndrivers = null\n", [&] {
        ASSERT_EQ(chdir(T.Path.c_str()), 0);
        LoadSoundEffects();
        ASSERT_TRUE(SoundActive());
        for (SoundSample S : {SndBonus, SndAlarm, SndExplosionBig, SndExplosionSmall, SndHitWall,
                              SndShot, SndFire, SndFireBurn, SndButton, SndHeart})
            EXPECT_NE(S, 0);
        SoundEnabled = true;
        const int32_t Heart = SoundPlaySound(SoundFreeChannel, SndHeart);
        PlaySoundAt(SndShot, 10, -179, 10);
        Wait(0.3);
        EXPECT_TRUE(SoundChannelPlaying(Heart)) << "the heartbeat loops until stopped";
        SoundStopSound(SoundAllChannels);
        EXPECT_FALSE(SoundChannelPlaying(Heart));
        SoundClose();
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
