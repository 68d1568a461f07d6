// Shared helpers of the texture and terrain tests: a temporary working folder, pictures of
// known pixels, and ImageMagick to encode them (an encoder that is not ours).
#pragma once
#include <gtest/gtest.h>
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// A picture as the tests describe it: RGB, top row first (the way PPM and people read it).
struct TestPicture {
    int                  Width = 0;
    int                  Height = 0;
    std::vector<uint8_t> Rgb;
    const uint8_t*       At(int X, int Row) const { return &Rgb[(size_t(Row) * Width + X) * 3]; }
};

// Every pixel different, so any shift, mirror or swap of channels shows.
inline TestPicture GradientPicture(int Width, int Height) {
    TestPicture P{Width, Height, {}};
    for (int Row = 0; Row < Height; ++Row)
        for (int X = 0; X < Width; ++X) {
            P.Rgb.push_back(uint8_t(20 + X * 37 + Row * 5));
            P.Rgb.push_back(uint8_t(200 - Row * 29 - X));
            P.Rgb.push_back(uint8_t((X * 11 + Row * 53) ^ 0x5A));
        }
    return P;
}

// Four flat 8 x 8 quadrants: JPEG keeps flat blocks nearly exact. Top left red, top right
// green, bottom left blue, bottom right white.
inline TestPicture QuadrantPicture() {
    TestPicture P{16, 16, {}};
    for (int Row = 0; Row < 16; ++Row)
        for (int X = 0; X < 16; ++X) {
            const bool   Top = Row < 8, Left = X < 8;
            const uint8_t R = (Top && Left) || (!Top && !Left) ? 255 : 0;
            const uint8_t G = (Top && !Left) || (!Top && !Left) ? 255 : 0;
            const uint8_t B = !Top ? 255 : 0;
            P.Rgb.insert(P.Rgb.end(), {R, G, B});
        }
    return P;
}

inline void WritePpm(const std::string& FileName, const TestPicture& P) {
    std::ofstream File(FileName, std::ios::binary);
    File << "P6\n" << P.Width << " " << P.Height << "\n255\n";
    File.write(reinterpret_cast<const char*>(P.Rgb.data()), std::streamsize(P.Rgb.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& FileName) {
    std::ifstream File(FileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(File), {});
}

inline void WriteBytes(const std::string& FileName, const std::vector<uint8_t>& Bytes) {
    std::ofstream File(FileName, std::ios::binary);
    File.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

// ImageMagick's convert by absolute path: another "convert" may come first on the PATH.
constexpr const char* ImageMagickConvert = "/usr/bin/convert";

inline bool ImageMagickPresent() {
    const std::string Command = std::string(ImageMagickConvert) +
                                " -version 2>/dev/null | grep -q ImageMagick";
    return std::system(Command.c_str()) == 0;
}

// Runs convert with Arguments in the working folder; true when it succeeded.
inline bool Convert(const std::string& Arguments) {
    const std::string Command = std::string(ImageMagickConvert) + " " + Arguments + " 2>&1";
    return std::system(Command.c_str()) == 0;
}

#define REQUIRE_IMAGEMAGICK()                                                                      \
    do {                                                                                           \
        if (!ImageMagickPresent())                                                                 \
            GTEST_SKIP() << "ImageMagick's /usr/bin/convert is not installed";                     \
    } while (0)
