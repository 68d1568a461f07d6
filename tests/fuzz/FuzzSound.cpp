// Fuzz target: any bytes through the sound layer's decoding of a whole file held in memory.
#include <cstdint>
#include <cstdlib>

#include "sound/Sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    SoundPcm Pcm{};
    if (DecodeSoundMemory(Data, Size, Pcm)) {
        if (Pcm.Channels < 1 || Pcm.SampleRate <= 0) abort();
        if (Pcm.Samples.size() % size_t(Pcm.Channels) != 0) abort();
    }
    return 0;
}
