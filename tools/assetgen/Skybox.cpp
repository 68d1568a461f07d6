// Skybox: the five faces of the sky cube, painted from one function of the view direction so that
// neighbouring faces agree exactly along their shared edges.
#include "Textures.h"

#include "Image.h"
#include "Noise.h"

#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int    FaceSize = 512;

struct Direction {
    double X, Y, Z;
};

// Where texture point (s, t) of each face lies on the cube [-1, 1]^3, following the corner table the
// terrain builder draws the cube with (t = 1 is the image's top row).
struct Face {
    const char* File;
    Direction (*At)(double S, double T);
};

const Face Faces[] = {
    {"bk", [](double S, double T) { return Direction{-1 + 2 * S, -1 + 2 * T, -1}; }},
    {"fr", [](double S, double T) { return Direction{1 - 2 * S, -1 + 2 * T, 1}; }},
    {"up", [](double S, double T) { return Direction{-1 + 2 * S, 1, -1 + 2 * T}; }},
    {"lf", [](double S, double T) { return Direction{-1, -1 + 2 * T, 1 - 2 * S}; }},
    {"rt", [](double S, double T) { return Direction{1, -1 + 2 * T, -1 + 2 * S}; }},
};

// Height of the distant hills above the horizon (radians) at a compass direction given as a unit
// vector in the ground plane; a function of the direction, so it closes around the horizon.
double HillHeight(double DX, double DZ) {
    const double Ridge = Fractal3(DX * 2.5 + 7.0, DZ * 2.5 + 7.0, 0.5, 5, 0.5, 8001);
    const double Peaks = Fractal3(DX * 6.0 + 3.0, DZ * 6.0 + 3.0, 1.5, 3, 0.5, 8002);
    return 0.015 + 0.22 * std::pow(Ridge, 1.6) + 0.04 * Peaks;
}

Colour SkyColour(Direction D) {
    const double Length = std::sqrt(D.X * D.X + D.Y * D.Y + D.Z * D.Z);
    const double X = D.X / Length, Y = D.Y / Length, Z = D.Z / Length;
    const double Elevation = std::asin(Y);
    const double Flat = std::sqrt(X * X + Z * Z);
    const double FX = Flat > 1e-9 ? X / Flat : 1.0, FZ = Flat > 1e-9 ? Z / Flat : 0.0;

    // Blue overhead, pale and hazy at the horizon.
    const double Up = Clamp01(Y);
    Colour Sky = MixColour(Colour{0.78, 0.84, 0.9}, Colour{0.22, 0.42, 0.78}, std::pow(Up, 0.55));

    // The sun, high in the north-west quarter, with a wide glow.
    const Direction Sun = {-0.55, 0.55, -0.63};
    const double SunDot = X * Sun.X + Y * Sun.Y + Z * Sun.Z;
    Sky = Sky + Colour{1.0, 0.9, 0.7} * (0.35 * std::pow(Clamp01(SunDot), 12.0));
    Sky = MixColour(Sky, Colour{1.0, 1.0, 0.95}, SmoothStep(0.9985, 0.9995, SunDot));

    // Clouds on a layer above the arena: sample the noise where the view ray meets the layer, and
    // thin them out towards the horizon, where they would crowd together.
    if (Y > 0.0) {
        const double Reach = 1.0 / (Y + 0.08);
        const double Cloud = Fractal3(X * Reach * 1.3, Z * Reach * 1.3, 0.0, 5, 0.55, 8003);
        const double Cover = SmoothStep(0.48, 0.72, Cloud) * SmoothStep(0.0, 0.25, Y);
        const double Lit = 0.85 + 0.15 * Fractal3(X * Reach * 3.0, Z * Reach * 3.0, 5.0, 3, 0.5, 8004);
        Sky = MixColour(Sky, Colour{0.96, 0.96, 0.97} * Lit, Cover * 0.85);
    }

    // Distant blue-grey hills all around; below them the far plain, which the arena's ground covers
    // nearly everywhere. Directions well below the horizon are plain and cost no noise.
    constexpr double HighestHill = 0.28;
    if (Elevation < -0.15)
        return Colour{0.3, 0.34, 0.28};
    if (Elevation < HighestHill) {
        const double Hill = HillHeight(FX, FZ);
        if (Elevation < Hill) {
            const double Rock = Fractal3(X * 20.0, Y * 20.0, Z * 20.0, 4, 0.5, 8005);
            const double Depth = Clamp01((Hill - Elevation) / 0.1);
            Colour Land = MixColour(Colour{0.52, 0.58, 0.62}, Colour{0.33, 0.4, 0.36}, Depth);
            Land = Land * (0.85 + 0.25 * Rock);
            Sky = MixColour(Sky, Land, SmoothStep(Hill, Hill - 0.004, Elevation));
        }
    }
    if (Elevation < 0.0)
        Sky = MixColour(Sky, Colour{0.3, 0.34, 0.28}, SmoothStep(0.0, -0.15, Elevation));
    return Sky;
}

} // namespace

bool WriteSkybox(const std::string& Root) {
    bool Ok = true;
    for (const Face& F : Faces) {
        clsImage Image(FaceSize, FaceSize);
        // Edge pixels sit exactly on the cube's edges (s and t run from 0 to 1 over the pixel
        // centres), so two faces show the same colour where they meet under clamped sampling.
        for (int Row = 0; Row < FaceSize; ++Row)
            for (int Col = 0; Col < FaceSize; ++Col) {
                const double S = Col / double(FaceSize - 1), T = 1.0 - Row / double(FaceSize - 1);
                Image.Set(Col, Row, SkyColour(F.At(S, T)));
            }
        Ok = WriteJpeg(Root + "/skybox/" + F.File + ".jpg", Image) && Ok;
    }
    return Ok;
}
