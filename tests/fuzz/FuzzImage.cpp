// Fuzz target: any bytes through the BMP, TGA and JPEG decoders; a picture accepted must hold
// exactly the pixels its sides promise.
#include <cstdint>
#include <cstdlib>

#include "render/Textures.h"

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    Check(DecodeBmp, Data, Size);
    Check(DecodeTga, Data, Size);
    Check(DecodeJpg, Data, Size);
    return 0;
}
