// Fuzz target: any bytes through the BMP, TGA and JPEG decoders; a picture accepted must hold
// exactly the pixels its sides promise.
#include <cstdint>
#include <cstdlib>

#include "render/ImageDecoders.h"

using Decoder = bool (*)(const uint8_t*, size_t, Image_Rec&, ImageFault&);

static void Check(Decoder Decode, const uint8_t* Data, size_t Size) {
    Image_Rec  Image;
    ImageFault Fault = ImageFault::None;
    if (Decode(Data, Size, Image, Fault)) {
        if (Image.Width <= 0 || Image.Height <= 0) abort();
        if (Image.Pixels.size() != size_t(Image.Width) * size_t(Image.Height) * size_t(Image.Channels)) abort();
    } else if (!Image.Pixels.empty() || Fault == ImageFault::None) {
        abort();
    }
}

// The pixels of the first JPEG frame header (SOFn marker) in the bytes, 0 when there is none.
// Only a guess (libjpeg may take another header), used to keep every input cheap: a large
// picture takes the decoder's same paths as a small one, only for longer.
static size_t DeclaredJpegPixels(const uint8_t* Data, size_t Size) {
    for (size_t I = 0; I + 8 < Size; ++I) {
        const uint8_t Marker = Data[I + 1];
        if (Data[I] == 0xFF && Marker >= 0xC0 && Marker <= 0xCF && Marker != 0xC4 &&
            Marker != 0xC8 && Marker != 0xCC)
            return size_t((Data[I + 5] << 8) | Data[I + 6]) * size_t((Data[I + 7] << 8) | Data[I + 8]);
    }
    return 0;
}

constexpr size_t MaxJpegPixels = 256 * 256;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    Check(DecodeBmp, Data, Size);
    Check(DecodeTga, Data, Size);
    if (DeclaredJpegPixels(Data, Size) <= MaxJpegPixels) Check(DecodeJpg, Data, Size);
    return 0;
}
