// Textures: the sprites, ground and wall the game loads by name, and the model materials' colour maps.
// Sprites are drawn with additive or colour-keyed blending, so black is transparent and brightness is
// opacity; every sprite fades to pure black well inside its border.
#include "Textures.h"

#include "Image.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Point {
    double X, Y;
};

bool InsidePolygon(const std::vector<Point>& Poly, double X, double Y) {
    bool Inside = false;
    for (size_t I = 0, J = Poly.size() - 1; I < Poly.size(); J = I++) {
        const Point A = Poly[I], B = Poly[J];
        if ((A.Y > Y) != (B.Y > Y) && X < (B.X - A.X) * (Y - A.Y) / (B.Y - A.Y) + A.X)
            Inside = !Inside;
    }
    return Inside;
}

// Fraction of a pixel (in image units, 0..1) covered by the polygon, from 4 x 4 samples.
double Coverage(const std::vector<Point>& Poly, int PX, int PY, int Size) {
    int Hits = 0;
    for (int SY = 0; SY < 4; ++SY)
        for (int SX = 0; SX < 4; ++SX)
            Hits += InsidePolygon(Poly, (PX + (SX + 0.5) / 4.0) / Size, (PY + (SY + 0.5) / 4.0) / Size);
    return Hits / 16.0;
}

// A square texture of Size pixels written as textures/Name, each pixel Shade(X, Y, u, v) with
// u and v at the pixel's centre.
template <class F> bool WritePixels(const std::string& Root, const char* Name, int Size, F Shade) {
    clsImage Image(Size, Size);
    for (int Y = 0; Y < Size; ++Y)
        for (int X = 0; X < Size; ++X)
            Image.Set(X, Y, Shade(X, Y, (X + 0.5) / Size, (Y + 0.5) / Size));
    return WriteJpeg(Root + "/textures/" + Name, Image);
}

// The same for shading that needs only the centre: Shade(u, v).
template <class F> bool WritePainted(const std::string& Root, const char* Name, int Size, F Shade) {
    return WritePixels(Root, Name, Size, [&](int, int, double U, double V) { return Shade(U, V); });
}

// Heat 0..1 to the colour of fire: black, deep red, orange, yellow, white.
Colour FireRamp(double Heat) {
    Heat = Clamp01(Heat);
    return {Clamp01(Heat * 3.0), Clamp01(Heat * 3.0 - 1.0) * 0.9, Clamp01(Heat * 3.0 - 2.0) * 0.8};
}

bool WritePointer(const std::string& Root) {
    // An arrow whose tip is the image's top-left corner: the game hangs the picture right and
    // down from the mouse position. The tip starts just outside the image so the corner pixel is lit.
    constexpr int Size = 128;
    const std::vector<Point> Arrow = {{-0.01, -0.01}, {-0.01, 0.78}, {0.19, 0.60}, {0.34, 0.93},
                                      {0.47, 0.87},   {0.32, 0.55},  {0.58, 0.55}};
    return WritePixels(Root, "pointer.jpg", Size, [&](int X, int Y, double, double) {
        const double Cover = Coverage(Arrow, X, Y, Size);
        const double Shade = 1.0 - 0.25 * (X + Y) / (2.0 * Size);
        return Colour{1.0, 1.0, 1.0} * (Cover * Shade);
    });
}

bool WriteStatic(const std::string& Root, int Frame) {
    // One frame of television static: grey snow with rows that flicker brighter or darker.
    constexpr int Size = 128;
    clsRandom Random(1000 + Frame);
    clsImage  Image(Size, Size);
    for (int Y = 0; Y < Size; ++Y) {
        const double RowGain = 0.75 + 0.35 * Random.Real() + (Random.Int(12) == 0 ? 0.3 : 0.0);
        for (int X = 0; X < Size; ++X) {
            const double V = Clamp01(Random.Real() * RowGain);
            Image.Set(X, Y, {V * 0.95, V, V * 1.05});
        }
    }
    return WriteJpeg(Root + "/textures/noise" + std::to_string(Frame) + ".jpg", Image);
}

bool WriteTree(const std::string& Root) {
    // A leafy crown over a trunk that reaches the bottom edge; the game sinks the lower part of
    // every tree into the ground, so the crown carries the look.
    clsRandom Random(2001);
    struct Blob {
        double X, Y, R;
    };
    std::vector<Blob> Blobs = {{0.5, 0.38, 0.26}};
    for (int I = 0; I < 14; ++I) {
        const double A = Random.Range(0, 2 * Pi), D = Random.Range(0.06, 0.18);
        Blobs.push_back({0.5 + std::cos(A) * D * 1.1, 0.38 + std::sin(A) * D, Random.Range(0.08, 0.14)});
    }
    return WritePainted(Root, "tree.jpg", 256, [&](double U, double V) {
        double Density = -1.0;
        for (const Blob& B : Blobs) {
            const double D2 = ((U - B.X) * (U - B.X) + (V - B.Y) * (V - B.Y)) / (B.R * B.R);
            Density = std::max(Density, 1.0 - D2);
        }
        const double Leaves = TileFractal(U, V, 16, 16, 4, 0.55, 2002);
        const double Crown = SmoothStep(0.0, 0.12, Density + (Leaves - 0.5) * 0.5);
        const double Light = 0.55 + 0.45 * Clamp01(1.0 - (U - 0.35) * 1.2 - (V - 0.15) * 1.3);
        const Colour Leaf = Colour{0.22, 0.55, 0.16} * (Light * (0.55 + 0.7 * Leaves));
        const double TrunkHalf = 0.035 + 0.04 * SmoothStep(0.85, 1.0, V);
        const double Trunk = SmoothStep(0.6, 0.66, V) * SmoothStep(TrunkHalf, TrunkHalf - 0.01, std::fabs(U - 0.5));
        const double Bark = 0.7 + 0.3 * TileFractal(U, V, 32, 4, 3, 0.6, 2003);
        const Colour Wood = Colour{0.42, 0.28, 0.14} * Bark;
        const Colour Base = MixColour(Colour{0, 0, 0}, Wood, Trunk);
        // The crown covers the top of the trunk. The sides and the top fade to black before the
        // border; only the trunk touches the bottom edge, where the tree stands.
        const double Edge = SmoothStep(0.5, 0.46, std::max(std::fabs(U - 0.5), 0.5 - V));
        return MixColour(Base, Leaf, Crown) * Edge;
    });
}

bool WriteSpark(const std::string& Root) {
    // A soft round spark: a white-hot centre with a warm glow that falls to black before the border.
    return WritePainted(Root, "particle2.jpg", 64, [](double U, double V) {
        const double R = std::hypot(U - 0.5, V - 0.5);
        const double Glow = std::exp(-(R * R) / (0.16 * 0.16)) * SmoothStep(0.48, 0.3, R);
        const double Core = std::exp(-(R * R) / (0.06 * 0.06));
        return Colour{1.0, 0.9, 0.7} * Glow + Colour{0.3, 0.3, 0.3} * Core;
    });
}

bool WriteSmoke(const std::string& Root) {
    // A soft grey puff with a billowing edge.
    return WritePainted(Root, "smoke.jpg", 128, [](double U, double V) {
        const double R = std::hypot(U - 0.5, V - 0.5);
        const double Billow = TileFractal(U, V, 4, 4, 5, 0.55, 3001);
        const double Puff = SmoothStep(0.46, 0.12, R + (Billow - 0.5) * 0.22);
        const double Grey = Puff * (0.45 + 0.45 * Billow);
        return Colour{Grey, Grey, Grey * 1.02};
    });
}

bool WriteShot(const std::string& Root) {
    // A glowing bolt of plasma: a white core in a yellow-orange halo with four short flares, which
    // the game spins in the plane of the screen.
    return WritePainted(Root, "shot.jpg", 128, [](double U, double V) {
        const double X = U - 0.5, Y = V - 0.5, R = std::hypot(X, Y);
        const double Fade = SmoothStep(0.48, 0.3, R);
        const double Halo = std::exp(-(R * R) / (0.17 * 0.17));
        const double Core = std::exp(-(R * R) / (0.07 * 0.07));
        const double Flare = std::exp(-std::fabs(X * Y) * 900.0) * std::exp(-R * 7.0);
        return (Colour{1.0, 0.65, 0.2} * Halo + Colour{1.0, 1.0, 0.9} * Core + Colour{1.0, 0.85, 0.5} * Flare) * Fade;
    });
}

bool WriteExplosion(const std::string& Root) {
    // A 4 x 4 atlas of fireball frames; frame n = row x 4 + column, rows from the top. The fireball
    // grows and cools with n; the four frames of a row are one stage seen with different turbulence,
    // since the game steps through the columns every frame.
    constexpr int Size = 256, Cell = Size / 4;
    clsImage Image(Size, Size);
    for (int Frame = 0; Frame < 16; ++Frame) {
        const int Row = Frame / 4, Column = Frame % 4;
        const double Stage = Frame / 15.0;
        const double Radius = 0.26 + 0.18 * Stage;
        const double Bright = 1.05 - 0.7 * Stage;
        for (int Y = 0; Y < Cell; ++Y)
            for (int X = 0; X < Cell; ++X) {
                const double U = (X + 0.5) / Cell - 0.5, V = (Y + 0.5) / Cell - 0.5;
                const double R = std::hypot(U, V);
                const double Swirl = TileFractal((X + 0.5) / Cell, (Y + 0.5) / Cell, 4, 4, 5, 0.6, 4000 + Frame);
                const double Body = SmoothStep(Radius, Radius * 0.15, R + (Swirl - 0.5) * 0.18);
                // Late frames turn from flame into dark red smoke.
                const double Heat = Body * (0.5 + 0.7 * Swirl) * Bright;
                const double Border = SmoothStep(0.49, 0.45, std::max(std::fabs(U), std::fabs(V)));
                Image.Set(Column * Cell + X, Row * Cell + Y, FireRamp(Heat) * Border);
            }
    }
    return WriteJpeg(Root + "/textures/explosion.jpg", Image);
}

bool WriteGround(const std::string& Root) {
    // Earth, grit and grass, repeated 300 times across the ground (one tile is about 5 units). All
    // detail is fine-grained and low in contrast, so the repeats do not line up into a visible grid.
    return WritePainted(Root, "cliffbottom.jpg", 512, [](double U, double V) {
        const double Soil = TileFractal(U, V, 16, 16, 5, 0.55, 5001);
        const double Grit = TileFractal(U, V, 64, 64, 3, 0.5, 5002);
        const double Grass = SmoothStep(0.5, 0.65, TileFractal(U, V, 16, 16, 4, 0.6, 5003));
        const double Blades = TileFractal(U, V, 128, 32, 2, 0.5, 5004);
        const double Pebble = SmoothStep(0.74, 0.8, TileFractal(U, V, 24, 24, 2, 0.4, 5005));
        Colour C = MixColour(Colour{0.4, 0.33, 0.23}, Colour{0.5, 0.42, 0.3}, Soil);
        C = C * (0.8 + 0.35 * Grit);
        C = MixColour(C, Colour{0.54, 0.52, 0.47} * (0.85 + 0.3 * Grit), Pebble * 0.6);
        C = MixColour(C, Colour{0.36, 0.42, 0.2} * (0.75 + 0.5 * Blades), Grass * 0.6);
        return C;
    });
}

bool WriteWall(const std::string& Root) {
    // Stone blocks in running bond. One tile is drawn 100 units wide and 20 high, five times wider
    // than it is tall, so blocks and grain are drawn five times narrower than they will look.
    constexpr int Size = 256, Courses = 4, BlocksPerCourse = 8;
    constexpr int CourseHeight = Size / Courses, BlockWidth = Size / BlocksPerCourse;
    return WritePixels(Root, "floor.jpg", Size, [&](int X, int Y, double U, double V) {
        const int Course = Y / CourseHeight;
        const int Shifted = X + (Course % 2) * BlockWidth / 2;
        const int Block = (Shifted / BlockWidth) % BlocksPerCourse;
        const int InX = Shifted % BlockWidth, InY = Y % CourseHeight;
        const double Grain = TileFractal(U, V, 40, 8, 5, 0.55, 6001);
        const double Tone = 0.85 + 0.25 * HashReal(Course, Block, 0, 6002);
        const double Joint = (InX < 1 || InX >= BlockWidth - 1 || InY < 5) ? 1.0 : 0.0;
        // Edges of each block catch the light at the top and fall into shade at the bottom.
        const double Bevel = InY < 9 ? 1.12 : (InY > CourseHeight - 6 ? 0.85 : 1.0);
        Colour Stone = Colour{0.62, 0.6, 0.56} * (Tone * Bevel * (0.75 + 0.45 * Grain));
        const Colour Mortar = Colour{0.32, 0.31, 0.3} * (0.8 + 0.4 * Grain);
        const double Grime = 0.7 + 0.3 * SmoothStep(1.0, 0.55, V);
        return MixColour(Stone, Mortar, Joint) * Grime;
    });
}

bool WriteArmour(const std::string& Root) {
    // Light grey armour plate: panel seams, rivets at the corners, faint wear. The actor's colour
    // tints it, so it stays bright and neutral.
    constexpr int Size = 256, Panel = 64;
    return WritePixels(Root, "armour.jpg", Size, [&](int X, int Y, double U, double V) {
        const int PX = X % Panel, PY = Y % Panel;
        const double Wear = TileFractal(U, V, 8, 8, 5, 0.55, 7001);
        const double Tone = 0.9 + 0.1 * HashReal(X / Panel, Y / Panel, 0, 7002);
        double Shade = (0.78 + 0.2 * Wear) * Tone;
        if (PX < 2 || PY < 2)
            Shade *= 0.55;
        else if (PX < 4 || PY < 4)
            Shade *= 1.08;
        const int RX = std::min(PX, Panel - PX), RY = std::min(PY, Panel - PY);
        const double RivetD = std::hypot(RX - 7.0, RY - 7.0);
        if (RivetD < 2.6)
            Shade *= 1.15 - 0.15 * RivetD / 2.6 - (RX > 7 ? 0.2 : 0.0);
        return Colour{0.92, 0.93, 0.95} * Shade;
    });
}

bool WriteTracks(const std::string& Root) {
    // Track links: cleats across the image (the track runs along v) with pins at both ends.
    constexpr int Size = 256, Link = 32;
    return WritePixels(Root, "tracks.jpg", Size, [&](int X, int Y, double U, double V) {
        const int LY = Y % Link;
        const double Grit = TileFractal(U, V, 16, 16, 4, 0.5, 7101);
        double Shade = LY < 20 ? 0.75 : 0.45;
        if (LY < 3 || (LY > 16 && LY < 20))
            Shade = 0.58;
        if ((X < 24 || X > Size - 24) && LY > 6 && LY < 14)
            Shade = 0.85;
        return Colour{0.85, 0.84, 0.82} * (Shade * (0.8 + 0.35 * Grit));
    });
}

bool WriteCrystal(const std::string& Root) {
    // The pickup's crystal: pale cyan with bright diagonal glints.
    return WritePainted(Root, "crystal.jpg", 256, [](double U, double V) {
        const double Cloud = TileFractal(U, V, 4, 4, 5, 0.6, 7201);
        const double Glint = std::pow(std::fabs(std::sin((U + V) * Pi * 3.0)), 24.0);
        const double Glint2 = std::pow(std::fabs(std::sin((U - V) * Pi * 2.0)), 30.0);
        return Colour{0.55, 0.85, 0.95} * (0.7 + 0.3 * Cloud) + Colour{0.4, 0.3, 0.2} * (Glint + Glint2);
    });
}

bool WriteHouseWall(const std::string& Root) {
    // Whitewashed plaster with a shuttered window in the middle of each wall.
    return WritePainted(Root, "housewall.jpg", 256, [](double U, double V) {
        const double Plaster = TileFractal(U, V, 8, 8, 5, 0.55, 7301);
        Colour C = Colour{0.9, 0.86, 0.78} * (0.8 + 0.25 * Plaster);
        const double WX = std::fabs(U - 0.5), WY = std::fabs(V - 0.45);
        if (WX < 0.16 && WY < 0.16)
            C = (WX < 0.14 && WY < 0.14) ? Colour{0.2, 0.25, 0.3} * (1.0 + 0.6 * (0.14 - WY))
                                         : Colour{0.45, 0.3, 0.18};
        if ((std::fabs(U - 0.5) < 0.008 || std::fabs(V - 0.45) < 0.008) && WX < 0.14 && WY < 0.14)
            C = Colour{0.45, 0.3, 0.18};
        if (V > 0.9)
            C = C * 0.75;
        return C;
    });
}

bool WriteRoof(const std::string& Root) {
    // Rows of red clay tiles, each row a little shaded at its lower edge.
    constexpr int Size = 256, Row = 32, Tile = 32;
    return WritePixels(Root, "roof.jpg", Size, [&](int X, int Y, double U, double V) {
        const int R = Y / Row, Shifted = X + (R % 2) * Tile / 2;
        const double Clay = TileFractal(U, V, 16, 16, 4, 0.5, 7401);
        const double Tone = 0.85 + 0.2 * HashReal(R, Shifted / Tile % (Size / Tile), 0, 7402);
        double Shade = 1.0 - 0.45 * ((Y % Row) / double(Row)) * ((Y % Row) / double(Row));
        if (Shifted % Tile < 2)
            Shade *= 0.6;
        return Colour{0.78, 0.4, 0.28} * (Shade * Tone * (0.8 + 0.3 * Clay));
    });
}

bool WriteBlastSphere(const std::string& Root) {
    // Turbulent fire for the explosion spheres. They are drawn additively in white, so this map's
    // brightness is all of their look: hot and bright, with darker lanes between the flames.
    return WritePainted(Root, "blast.jpg", 256, [](double U, double V) {
        const double Flame = TileFractal(U, V, 4, 4, 6, 0.6, 7501);
        const double Lanes = std::fabs(TileFractal(U, V, 8, 8, 3, 0.5, 7502) - 0.5) * 2.0;
        return FireRamp(0.35 + 0.75 * Flame - 0.3 * Lanes);
    });
}

bool WriteShockRing(const std::string& Root) {
    // The explosion disk's map: a bright ring near the rim that fades towards the centre and is
    // black at the rim itself and outside it, so the additive disk shows only a widening shock wave.
    return WritePainted(Root, "shockring.jpg", 256, [](double U, double V) {
        const double R = std::hypot(U - 0.5, V - 0.5) * 2.0;
        const double Ring = std::exp(-std::pow((R - 0.82) / 0.08, 2.0)) + 0.25 * SmoothStep(0.0, 0.8, R);
        const double Rim = SmoothStep(0.97, 0.9, R);
        const double Flicker = 0.8 + 0.4 * TileFractal(U, V, 16, 16, 3, 0.5, 7601);
        return Colour{1.0, 0.85, 0.6} * (Ring * Rim * Flicker);
    });
}

} // namespace

bool WriteGameTextures(const std::string& Root) {
    bool Ok = WritePointer(Root);
    for (int Frame = 1; Frame <= 3; ++Frame)
        Ok = WriteStatic(Root, Frame) && Ok;
    Ok = WriteTree(Root) && Ok;
    Ok = WriteSpark(Root) && Ok;
    Ok = WriteSmoke(Root) && Ok;
    Ok = WriteWall(Root) && Ok;
    Ok = WriteGround(Root) && Ok;
    Ok = WriteShot(Root) && Ok;
    Ok = WriteExplosion(Root) && Ok;
    return Ok;
}

bool WriteModelTextures(const std::string& Root) {
    bool Ok = WriteArmour(Root);
    Ok = WriteTracks(Root) && Ok;
    Ok = WriteCrystal(Root) && Ok;
    Ok = WriteHouseWall(Root) && Ok;
    Ok = WriteRoof(Root) && Ok;
    Ok = WriteBlastSphere(Root) && Ok;
    Ok = WriteShockRing(Root) && Ok;
    return Ok;
}
