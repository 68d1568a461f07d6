// Helpers of the data generator's tests: where the data is, decoding its images, running the tool.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The folder the build generated (B/data).
std::string DataDir();

// The generator binary of this build.
std::string AssetgenBinary();

// A decoded JPEG: rows from the top, 3 bytes per pixel.
struct DecodedImage {
    int                  Width = 0, Height = 0;
    std::vector<uint8_t> Rgb;
    int                  Luma(int X, int Y) const; // 0..255, mean of the three channels
};

// Decodes a JPEG as the game does; false (and a message in Error) when it cannot.
bool ReadJpeg(const std::string& Path, DecodedImage& Image, std::string& Error);

// The bytes of a file; empty when it cannot be read.
std::vector<char> ReadBytes(const std::string& Path);

// Runs the generator into Folder; returns its exit status (-1 when it could not be run).
int RunAssetgen(const std::string& Folder);
