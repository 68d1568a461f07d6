// Helpers of the data generator's tests.
#include "DataFiles.h"
#include "render/ImageDecoders.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

std::string DataDir() {
    return TARVIX_DATA_DIR;
}

std::string AssetgenBinary() {
    return std::string(TARVIX_BUILD_DIR) + "/tools/assetgen/assetgen";
}

int DecodedImage::Luma(int X, int Y) const {
    const uint8_t* P = &Rgb[(static_cast<size_t>(Y) * Width + X) * 3];
    return (P[0] + P[1] + P[2]) / 3;
}

bool ReadJpeg(const std::string& Path, DecodedImage& Image, std::string& Error) {
    const std::vector<char> Bytes = ReadBytes(Path);
    Image_Rec               Picture;
    ImageFault              Fault = ImageFault::None;
    if (Bytes.empty() ||
        !DecodeJpg(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size(), Picture, Fault)) {
        Error = "cannot read or decode " + Path;
        return false;
    }
    // The game's pictures run from the bottom row up, these from the top.
    Image.Width = Picture.Width;
    Image.Height = Picture.Height;
    Image.Rgb.clear();
    for (int Y = Picture.Height - 1; Y >= 0; --Y)
        for (int X = 0; X < Picture.Width; ++X) {
            const size_t Pixel = (static_cast<size_t>(Y) * Picture.Width + X) * Picture.Channels;
            Image.Rgb.insert(Image.Rgb.end(), &Picture.Pixels[Pixel], &Picture.Pixels[Pixel] + 3);
        }
    return true;
}

std::vector<char> ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

int RunAssetgen(const std::string& Folder) {
    const std::string Command = "'" + AssetgenBinary() + "' '" + Folder + "' 2>/dev/null";
    const int         Status = std::system(Command.c_str());
    return Status == -1 || !WIFEXITED(Status) ? -1 : WEXITSTATUS(Status);
}
