// The sound layer on OpenAL Soft, with libsndfile decoding WAV and MP3 samples.
//
// Channels are OpenAL sources, samples are OpenAL buffers. Positions are game units; the
// distance factor says how many game units make one distance unit, and a positioned sound
// keeps its full loudness up to one distance unit and falls off inversely beyond it. With no
// audio device the layer stays closed and every call does nothing.
#include "sound/Sound.h"

#include "core/SettingValues.h"
#include "platform/Platform.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

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

namespace {

// Anything longer than ten minutes of 48 kHz stereo is not a sound effect; refusing it keeps a
// damaged or hostile file from taking all memory.
constexpr sf_count_t MaxDecodedValues = sf_count_t(48000) * 2 * 600;
constexpr int        MaxFileChannels = 8;

struct Sample_Rec {
    ALuint Buffer; // OpenAL buffer holding the PCM
    bool   Is3D;   // loaded with SoundMode3D: mono, plays positioned
    bool   Loop;   // SoundLoopNormal: plays until stopped
};

struct Channel_Rec {
    ALuint      Source;  // OpenAL source
    SoundSample Sample;  // sample started last on it; 0 for none
    bool        Loop;    // the sample was started looping
    bool        Is3D;    // the sample plays positioned; others ignore 3D attributes
    uint64_t    Started; // play order, to find the oldest busy channel
};

ALCdevice*               Device = nullptr;
ALCcontext*              Context = nullptr;
std::vector<Sample_Rec>  Samples; // handle N is Samples[N - 1]
std::vector<Channel_Rec> Channels;
uint64_t                 PlayCount = 0;
float                    DistanceFactor = 1.0f; // game units per distance unit

// --- Decoding --------------------------------------------------------------------------------

struct MemoryFile {
    const uint8_t* Data;
    sf_count_t     Size;
    sf_count_t     Offset;
};

sf_count_t MemLength(void* User) {
    return static_cast<MemoryFile*>(User)->Size;
}

sf_count_t MemSeek(sf_count_t Offset, int Whence, void* User) {
    auto*            F = static_cast<MemoryFile*>(User);
    sf_count_t       Base = Whence == SEEK_CUR ? F->Offset : Whence == SEEK_END ? F->Size : 0;
    const sf_count_t Target = Base + Offset;
    if (Target < 0 || Target > F->Size) return -1;
    F->Offset = Target;
    return F->Offset;
}

sf_count_t MemRead(void* Ptr, sf_count_t Count, void* User) {
    auto*            F = static_cast<MemoryFile*>(User);
    const sf_count_t N = std::max<sf_count_t>(0, std::min(Count, F->Size - F->Offset));
    if (N > 0) std::memcpy(Ptr, F->Data + F->Offset, size_t(N));
    F->Offset += N;
    return N;
}

sf_count_t MemWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t MemTell(void* User) {
    return static_cast<MemoryFile*>(User)->Offset;
}

// Reads every frame of an open file as 16-bit values. The frame count in the header is not
// trusted: reading goes on until the decoder stops. Frames are read as floats in [-1, 1] and
// converted here: libsndfile's own float-to-integer path either rounds float data (MP3, float
// WAV) to silence or, when told to scale, normalises it to the file's peak.
bool ReadWholeFile(SNDFILE* File, const SF_INFO& Info, SoundPcm& Out) {
    if (Info.channels < 1 || Info.channels > MaxFileChannels || Info.samplerate <= 0) return false;
    Out.Channels = Info.channels;
    Out.SampleRate = Info.samplerate;
    Out.Samples.clear();
    constexpr sf_count_t ChunkFrames = 4096;
    std::vector<float>   Chunk(size_t(ChunkFrames) * size_t(Info.channels));
    for (;;) {
        const sf_count_t Frames = sf_readf_float(File, Chunk.data(), ChunkFrames);
        if (Frames <= 0) break;
        for (sf_count_t I = 0; I < Frames * Info.channels; ++I) {
            const float V = std::isfinite(Chunk[size_t(I)]) ? Chunk[size_t(I)] : 0.0f;
            Out.Samples.push_back(int16_t(std::lround(std::clamp(V, -1.0f, 1.0f) * 32767.0f)));
        }
        if (sf_count_t(Out.Samples.size()) > MaxDecodedValues) return false;
    }
    return !Out.Samples.empty();
}

std::vector<int16_t> MixToMono(const SoundPcm& Pcm) {
    if (Pcm.Channels == 1) return Pcm.Samples;
    const size_t         Frames = Pcm.Samples.size() / size_t(Pcm.Channels);
    std::vector<int16_t> Mono(Frames);
    for (size_t F = 0; F < Frames; ++F) {
        int32_t Sum = 0;
        for (int32_t C = 0; C < Pcm.Channels; ++C)
            Sum += Pcm.Samples[F * size_t(Pcm.Channels) + size_t(C)];
        Mono[F] = int16_t(Sum / Pcm.Channels);
    }
    return Mono;
}

// --- Samples and channels --------------------------------------------------------------------

SoundSample StoreSample(const SoundPcm& Pcm, int32_t Mode) {
    const bool Is3D = (Mode & SoundMode3D) != 0;
    // OpenAL places only mono buffers in space; a positioned sample is mixed down to one channel.
    std::vector<int16_t>        Mono;
    const std::vector<int16_t>* Data = &Pcm.Samples;
    ALenum                      Format = Pcm.Channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    if (Is3D || Pcm.Channels > 2) {
        Mono = MixToMono(Pcm);
        Data = &Mono;
        Format = AL_FORMAT_MONO16;
    }
    alGetError();
    ALuint Buffer = 0;
    alGenBuffers(1, &Buffer);
    alBufferData(Buffer, Format, Data->data(), ALsizei(Data->size() * sizeof(int16_t)),
                 Pcm.SampleRate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &Buffer);
        return 0;
    }
    Samples.push_back(Sample_Rec{Buffer, Is3D, false});
    return SoundSample(Samples.size());
}

Sample_Rec* FindSample(SoundSample Sample) {
    if (Sample < 1 || size_t(Sample) > Samples.size()) return nullptr;
    return &Samples[size_t(Sample) - 1];
}

bool ChannelBusy(const Channel_Rec& Channel) {
    ALint State = AL_STOPPED;
    alGetSourcei(Channel.Source, AL_SOURCE_STATE, &State);
    return State == AL_PLAYING || State == AL_PAUSED;
}

// A free channel, or else the oldest busy one that does not loop; -1 when every one loops.
int32_t PickChannel() {
    int32_t Oldest = -1;
    for (size_t I = 0; I < Channels.size(); ++I) {
        if (!ChannelBusy(Channels[I])) return int32_t(I);
        if (!Channels[I].Loop &&
            (Oldest < 0 || Channels[I].Started < Channels[size_t(Oldest)].Started))
            Oldest = int32_t(I);
    }
    return Oldest;
}

void ApplyDistanceFactor(ALuint Source) {
    alSourcef(Source, AL_REFERENCE_DISTANCE, DistanceFactor);
    alSourcef(Source, AL_ROLLOFF_FACTOR, 1.0f);
}

bool Finite3(const float V[3]) {
    return std::isfinite(V[0]) && std::isfinite(V[1]) && std::isfinite(V[2]);
}

float Length3(const float V[3]) {
    return std::sqrt(V[0] * V[0] + V[1] * V[1] + V[2] * V[2]);
}

// Makes forward and up a valid listener orientation: forward of length one (looking down -Z
// when it has no length), and up at right angles to it, taken from the world's +Y (or -Z when
// forward is vertical) whenever the given up is missing or parallel to forward.
void FixOrientation(float Forward[3], float Up[3]) {
    const float FLen = Finite3(Forward) ? Length3(Forward) : 0.0f;
    if (FLen < 1e-6f) {
        Forward[0] = 0.0f, Forward[1] = 0.0f, Forward[2] = -1.0f;
    } else {
        for (int I = 0; I < 3; ++I)
            Forward[I] /= FLen;
    }
    for (int Attempt = 0; Attempt < 3; ++Attempt) {
        if (!Finite3(Up)) Up[0] = Up[1] = Up[2] = 0.0f;
        const float Dot = Up[0] * Forward[0] + Up[1] * Forward[1] + Up[2] * Forward[2];
        for (int I = 0; I < 3; ++I)
            Up[I] -= Dot * Forward[I];
        const float ULen = Length3(Up);
        if (ULen > 1e-4f) {
            for (int I = 0; I < 3; ++I)
                Up[I] /= ULen;
            return;
        }
        const bool Vertical = std::fabs(Forward[1]) > 0.99f;
        Up[0] = 0.0f;
        Up[1] = Vertical ? 0.0f : 1.0f;
        Up[2] = Vertical ? -1.0f : 0.0f;
    }
}

} // namespace

bool SoundActive() {
    return Context != nullptr;
}

bool SoundInit(int32_t MixRate, int32_t MaxChannels) {
    if (Context) return true;
    Device = alcOpenDevice(nullptr);
    if (!Device) return false;
    const ALCint Attributes[] = {ALC_FREQUENCY, MixRate, 0};
    Context = alcCreateContext(Device, Attributes);
    if (!Context || alcMakeContextCurrent(Context) != ALC_TRUE) {
        if (Context) alcDestroyContext(Context);
        alcCloseDevice(Device);
        Context = nullptr;
        Device = nullptr;
        return false;
    }
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    const int32_t Count = std::clamp(MaxChannels, 1, SoundChannelCount);
    for (int32_t I = 0; I < Count; ++I) {
        ALuint Source = 0;
        alGenSources(1, &Source);
        if (alGetError() != AL_NO_ERROR) break;
        ApplyDistanceFactor(Source);
        Channels.push_back(Channel_Rec{Source, 0, false, false, 0});
    }
    return true;
}

bool DecodeSoundMemory(const uint8_t* Data, size_t Size, SoundPcm& Out) {
    if (!Data || Size == 0) return false;
    MemoryFile    Mem{Data, sf_count_t(Size), 0};
    SF_VIRTUAL_IO Io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
    SF_INFO       Info = {};
    SNDFILE*      File = sf_open_virtual(&Io, SFM_READ, &Info, &Mem);
    if (!File) return false;
    const bool Ok = ReadWholeFile(File, Info, Out);
    sf_close(File);
    return Ok;
}

bool DecodeSoundFile(const std::string& Path, SoundPcm& Out) {
    SF_INFO  Info = {};
    SNDFILE* File = sf_open(NativePath(Path).c_str(), SFM_READ, &Info);
    if (!File) return false;
    const bool Ok = ReadWholeFile(File, Info, Out);
    sf_close(File);
    return Ok;
}

SoundSample SoundSampleLoad(const std::string& Path, int32_t Mode) {
    if (!Context) return 0;
    SoundPcm Pcm;
    if (!DecodeSoundFile(Path, Pcm)) return 0;
    return StoreSample(Pcm, Mode);
}

SoundSample SoundSampleLoadMemory(const uint8_t* Data, size_t Size, int32_t Mode) {
    if (!Context) return 0;
    SoundPcm Pcm;
    if (!DecodeSoundMemory(Data, Size, Pcm)) return 0;
    return StoreSample(Pcm, Mode);
}

bool SoundSampleSetMode(SoundSample Sample, int32_t LoopMode) {
    Sample_Rec* S = FindSample(Sample);
    if (!S) return false;
    S->Loop = LoopMode == SoundLoopNormal;
    return true;
}

int32_t SoundPlaySound(int32_t Channel, SoundSample Sample) {
    const Sample_Rec* S = FindSample(Sample);
    if (!S || !Context) return -1;
    if (Channel == SoundFreeChannel) Channel = PickChannel();
    if (Channel < 0 || size_t(Channel) >= Channels.size()) return -1;
    Channel_Rec& C = Channels[size_t(Channel)];
    alSourceStop(C.Source);
    alSourcei(C.Source, AL_BUFFER, ALint(S->Buffer));
    alSourcei(C.Source, AL_LOOPING, S->Loop ? AL_TRUE : AL_FALSE);
    // An unpositioned sample sits on the listener: relative to it, at its very place.
    alSourcei(C.Source, AL_SOURCE_RELATIVE, S->Is3D ? AL_FALSE : AL_TRUE);
    alSource3f(C.Source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(C.Source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSourcePlay(C.Source);
    C.Sample = Sample;
    C.Loop = S->Loop;
    C.Is3D = S->Is3D;
    C.Started = ++PlayCount;
    return Channel;
}

bool SoundSet3DAttributes(int32_t Channel, const float Position[3], const float Velocity[3]) {
    if (!Context || Channel < 0 || size_t(Channel) >= Channels.size()) return false;
    // An unpositioned sample stays on the listener whatever position it is given.
    if (!Channels[size_t(Channel)].Is3D) return true;
    const ALuint Source = Channels[size_t(Channel)].Source;
    if (Position && Finite3(Position))
        alSource3f(Source, AL_POSITION, Position[0], Position[1], Position[2]);
    if (Velocity && Finite3(Velocity))
        alSource3f(Source, AL_VELOCITY, Velocity[0], Velocity[1], Velocity[2]);
    return true;
}

void SoundListenerSetAttributes(const float Position[3], const float Velocity[3], float ForwardX,
                                float ForwardY, float ForwardZ, float TopX, float TopY,
                                float TopZ) {
    if (!Context) return;
    if (Position && Finite3(Position))
        alListener3f(AL_POSITION, Position[0], Position[1], Position[2]);
    if (Velocity && Finite3(Velocity))
        alListener3f(AL_VELOCITY, Velocity[0], Velocity[1], Velocity[2]);
    float Forward[3] = {ForwardX, ForwardY, ForwardZ};
    float Up[3] = {TopX, TopY, TopZ};
    FixOrientation(Forward, Up);
    const float Orientation[6] = {Forward[0], Forward[1], Forward[2], Up[0], Up[1], Up[2]};
    alListenerfv(AL_ORIENTATION, Orientation);
}

void SoundSetDistanceFactor(float Factor) {
    if (!(Factor > 0.0f) || !std::isfinite(Factor)) return;
    DistanceFactor = Factor;
    for (const Channel_Rec& C : Channels)
        ApplyDistanceFactor(C.Source);
}

void SoundSetSFXMasterVolume(int32_t Volume) {
    if (!Context) return;
    alListenerf(AL_GAIN, float(std::clamp(Volume, 0, 255)) / 255.0f);
}

void SoundStopSound(int32_t Channel) {
    if (!Context) return;
    for (size_t I = 0; I < Channels.size(); ++I) {
        if (Channel != SoundAllChannels && int32_t(I) != Channel) continue;
        alSourceStop(Channels[I].Source);
        Channels[I].Sample = 0;
        Channels[I].Loop = false;
    }
}

bool SoundChannelPlaying(int32_t Channel) {
    if (!Context || Channel < 0 || size_t(Channel) >= Channels.size()) return false;
    return ChannelBusy(Channels[size_t(Channel)]);
}

// OpenAL Soft mixes on its own thread; the update only forgets the samples of finished channels.
void SoundUpdate() {
    if (!Context) return;
    for (Channel_Rec& C : Channels)
        if (C.Sample != 0 && !ChannelBusy(C)) C.Sample = 0;
}

void SoundClose() {
    if (!Context) return;
    for (const Channel_Rec& C : Channels) {
        alSourceStop(C.Source);
        alDeleteSources(1, &C.Source);
    }
    for (const Sample_Rec& S : Samples)
        alDeleteBuffers(1, &S.Buffer);
    Channels.clear();
    Samples.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(Context);
    alcCloseDevice(Device);
    Context = nullptr;
    Device = nullptr;
}

// --- The game's effects ----------------------------------------------------------------------

namespace {

struct EffectFile {
    SoundSample* Handle; // where the loaded sample goes
    const char*  Path;   // relative to the data folder
    int32_t      Mode;   // load mode flags
};

const EffectFile EffectFiles[] = {
    {&SndBonus, "sound/fx/bonus.wav", SoundMode3D | SoundMode2D},
    {&SndAlarm, "sound/fx/alarm.mp3", SoundMode3D | SoundMode2D},
    {&SndExplosionBig, "sound/fx/xplbig.wav", SoundMode3D | SoundMode2D},
    {&SndExplosionSmall, "sound/fx/xplsmall.wav", SoundMode3D | SoundMode2D},
    {&SndHitWall, "sound/fx/hitwall.mp3", SoundMode3D | SoundMode2D},
    {&SndShot, "sound/fx/shot.mp3", SoundMode3D | SoundMode2D},
    {&SndFire, "sound/fx/fire.mp3", SoundMode3D | SoundMode2D},
    {&SndFireBurn, "sound/fx/fireburn.wav", SoundMode3D | SoundMode2D},
    {&SndButton, "sound/fx/button.mp3", SoundMode2D},
    {&SndHeart, "sound/fx/heart.mp3", SoundMode2D},
};

} // namespace

void LoadSoundEffects() {
    SoundInit(44100, SoundChannelCount);
    for (const EffectFile& E : EffectFiles)
        *E.Handle = SoundSampleLoad(E.Path, E.Mode);
    SoundSampleSetMode(SndHeart, SoundLoopNormal);
}

void PlaySoundAt(SoundSample Sample, double X, double Y, double Z) {
    if (!SoundEnabled) return;
    const int32_t Channel = SoundPlaySound(SoundFreeChannel, Sample);
    SoundPosition[0] = float(X);
    SoundPosition[1] = float(Y);
    SoundPosition[2] = float(Z);
    SoundSet3DAttributes(Channel, SoundPosition, nullptr);
}
