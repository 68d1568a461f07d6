// The image decoders: 24-bit BMP, JPEG (through libjpeg) and 24-bit uncompressed Targa files
// held in memory into pictures, bottom row first.
//
// Decoded pixels are one block of Width x Height pixels whose first row is the bottom row of
// the picture (OpenGL's t = 0), 3 bytes (R, G, B) or 4 bytes (R, G, B, A) each. The decoders
// touch no OpenGL state and no files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t MaxImageSide = 8192; // widest and tallest picture a decoder accepts, pixels

// A decoded picture, bottom row first.
struct Image_Rec {
    int32_t              Width = 0;    // pixels
    int32_t              Height = 0;   // pixels
    int32_t              Channels = 0; // bytes per pixel: 3 (RGB) or 4 (RGBA)
    std::vector<uint8_t> Pixels;       // Width * Height * Channels bytes
};

// Why a decoder refused its input; the loaders turn it into the game's message.
enum class ImageFault {
    None,
    BmpPalette,      // the palette the header names is not in the data
    BmpData,         // bad header or pixel data missing
    JpegDecode,      // libjpeg failed or the picture is too large
    TgaShort,        // header or pixel data missing, or a picture of no pixels
    TgaCompressed,   // image type other than 2
    TgaColourMapped, // a colour map is present
    TgaDepth         // pixel depth other than 24
};

// The decoders: Data/Size is the whole file. On success Image holds the picture bottom row
// first and the result is true; on failure Fault says why and Image is left empty.
bool DecodeBmp(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault);
bool DecodeJpg(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault);
bool DecodeTga(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault);
