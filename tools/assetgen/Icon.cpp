// Icon: a tank seen from above on a dark rounded tile, drawn with shapes and 4x4 supersampling.
#include "Icon.h"

#include <png.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgba {
    double R, G, B, A;
};

// Inside a rounded rectangle centred on (Cx, Cy), half sizes Hw, Hh, corner radius Rad.
bool InRoundedBox(double X, double Y, double Cx, double Cy, double Hw, double Hh, double Rad) {
    const double Dx = std::max(std::fabs(X - Cx) - (Hw - Rad), 0.0);
    const double Dy = std::max(std::fabs(Y - Cy) - (Hh - Rad), 0.0);
    return Dx * Dx + Dy * Dy <= Rad * Rad;
}

// The colour of one sample point, coordinates 0..1 from the top-left; later shapes lie on top.
Rgba Shade(double X, double Y) {
    Rgba C = {0, 0, 0, 0};
    if (InRoundedBox(X, Y, 0.5, 0.5, 0.48, 0.48, 0.12)) {
        const double Glow = 1.0 - std::hypot(X - 0.5, Y - 0.42) * 1.2;
        C = {0.10 + 0.10 * Glow, 0.14 + 0.12 * Glow, 0.20 + 0.16 * Glow, 1};
    }
    // Two treads with their links, the hull, the turret and the barrel pointing up-right.
    for (const double Tx : {0.30, 0.70})
        if (InRoundedBox(X, Y, Tx, 0.58, 0.09, 0.26, 0.05)) {
            const bool Link = std::fmod(Y * 40.0, 2.0) < 1.0;
            C = Link ? Rgba{0.20, 0.20, 0.18, 1} : Rgba{0.32, 0.31, 0.28, 1};
        }
    if (InRoundedBox(X, Y, 0.5, 0.58, 0.17, 0.22, 0.04))
        C = {0.42 + 0.2 * (0.8 - Y), 0.55 + 0.2 * (0.8 - Y), 0.22, 1};
    const double Along = (X - 0.5) * 0.6 + (0.55 - Y) * 0.8; // along the barrel
    const double Across = (X - 0.5) * 0.8 - (0.55 - Y) * 0.6;
    if (Along > 0 && Along < 0.42 && std::fabs(Across) < 0.028)
        C = {0.30, 0.38, 0.16, 1};
    const double Turret = std::hypot(X - 0.5, Y - 0.55);
    if (Turret < 0.11)
        C = {0.55 - Turret, 0.68 - Turret, 0.28, 1};
    if (std::hypot(X - 0.47, Y - 0.52) < 0.03)
        C = {0.85, 0.80, 0.35, 1}; // the hatch catches the light
    return C;
}

std::vector<uint8_t> Paint() {
    constexpr int Samples = 4;
    std::vector<uint8_t> Pixels(size_t(IconSize) * IconSize * 4);
    for (int Py = 0; Py < IconSize; ++Py)
        for (int Px = 0; Px < IconSize; ++Px) {
            Rgba Sum = {0, 0, 0, 0};
            for (int Sy = 0; Sy < Samples; ++Sy)
                for (int Sx = 0; Sx < Samples; ++Sx) {
                    const Rgba C = Shade((Px + (Sx + 0.5) / Samples) / IconSize,
                                         (Py + (Sy + 0.5) / Samples) / IconSize);
                    Sum = {Sum.R + C.R * C.A, Sum.G + C.G * C.A, Sum.B + C.B * C.A, Sum.A + C.A};
                }
            uint8_t* P = &Pixels[(size_t(Py) * IconSize + Px) * 4];
            const double A = Sum.A / (Samples * Samples);
            const auto Byte = [](double V) { return uint8_t(std::clamp(V, 0.0, 1.0) * 255.0 + 0.5); };
            P[0] = Sum.A > 0 ? Byte(Sum.R / Sum.A) : 0;
            P[1] = Sum.A > 0 ? Byte(Sum.G / Sum.A) : 0;
            P[2] = Sum.A > 0 ? Byte(Sum.B / Sum.A) : 0;
            P[3] = Byte(A);
        }
    return Pixels;
}

bool WriteRgba(FILE* File, const std::vector<uint8_t>& Pixels) {
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!Png)
        return false;
    png_infop Info = png_create_info_struct(Png);
    if (!Info || setjmp(png_jmpbuf(Png))) {
        png_destroy_write_struct(&Png, &Info);
        return false;
    }
    png_init_io(Png, File);
    png_set_IHDR(Png, Info, IconSize, IconSize, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(Png, Info);
    for (int Y = 0; Y < IconSize; ++Y)
        png_write_row(Png, const_cast<png_bytep>(&Pixels[size_t(Y) * IconSize * 4]));
    png_write_end(Png, nullptr);
    png_destroy_write_struct(&Png, &Info);
    return true;
}

} // namespace

bool WriteIcon(const std::string& Dir) {
    const std::string Path = Dir + "/icon/tarvix.png";
    FILE* File = std::fopen(Path.c_str(), "wb");
    if (!File) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", Path.c_str());
        return false;
    }
    const bool Written = WriteRgba(File, Paint());
    const bool Closed = std::fclose(File) == 0;
    if (!Written || !Closed) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", Path.c_str());
        std::remove(Path.c_str());
        return false;
    }
    return true;
}
