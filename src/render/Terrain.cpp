// The arena's tree spots and its two display lists: ground with wall, and the sky cube.
#include "render/Terrain.h"

#include "core/EventLog.h"
#include "platform/Numbers.h"
#include "render/Sprites.h"
#include "render/Textures.h"
#include "world/World.h"

#include <GL/gl.h>
#include <algorithm>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

TreeSpot TreeSpots[TreeSpotCount] = {};
uint32_t ArenaList = 0;
uint32_t SkyboxList = 0;
uint32_t SkyUpperList = 0;
uint32_t SkyLowerList = 0;

int32_t WallHalfExtent() { return WallHalfUnits * ArenaScale; }
int32_t GroundHalfExtent() { return GroundHalfUnits * ArenaScale; }

namespace {

constexpr int32_t SpotsPerSide = TreeSpotCount / 4;

// One spot of a side (1: z near -800, 2: z near 800, 3: x near -800, 4: x near 800). X is
// drawn before Z, then the size; the draw order fixes the layout for a given random state.
TreeSpot DrawTreeSpot(int32_t Side) {
    const double Scale = ArenaScale;
    const double RX = RandomReal();
    const double RZ = RandomReal();
    TreeSpot     Spot{};
    switch (Side) {
    case 1:
        Spot.X = float((RX * 160 - 80) * Scale);
        Spot.Z = float((-60 - RZ * 20) * Scale);
        break;
    case 2:
        Spot.X = float((80 - RX * 160) * Scale);
        Spot.Z = float((RZ * 20 + 60) * Scale);
        break;
    case 3:
        Spot.X = float((-60 - RX * 20) * Scale);
        Spot.Z = float((80 - RZ * 160) * Scale);
        break;
    default:
        Spot.X = float((RX * 20 + 60) * Scale);
        Spot.Z = float((RZ * 160 - 80) * Scale);
        break;
    }
    Spot.Size = float(RandomInt(20) + 10);
    return Spot;
}

void PlaceTrees() {
    for (int32_t Slot = 1; Slot <= SpotsPerSide; ++Slot)
        for (int32_t Side = 1; Side <= 4; ++Side)
            TreeSpots[(Slot - 1) * 4 + (Side - 1)] = DrawTreeSpot(Side);
}

// A fresh list name; the list of the previous generation goes first. After a display-mode
// change the old name belongs to the destroyed context and glIsList makes this a no-op.
uint32_t RenewList(uint32_t Old) {
    if (Old != 0 && glIsList(Old))
        glDeleteLists(Old, 1);
    return glGenLists(1);
}

struct TexturedVertex {
    float S, T;    // texture coordinates
    float X, Y, Z; // world position
};

void EmitVertices(const TexturedVertex* Vertices, int32_t Count) {
    for (int32_t I = 0; I < Count; ++I) {
        glTexCoord2f(Vertices[I].S, Vertices[I].T);
        glVertex3f(Vertices[I].X, Vertices[I].Y, Vertices[I].Z);
    }
}

// The ground faces up, its texture repeated 30 * ArenaScale times each way.
void EmitGround() {
    const float G = float(GroundHalfExtent());
    const float R = float(30 * ArenaScale);
    const TexturedVertex Ground[4] = {
        {0, R, -G, GroundLevel, G},
        {R, R, G, GroundLevel, G},
        {R, 0, G, GroundLevel, -G},
        {0, 0, -G, GroundLevel, -G},
    };
    glBegin(GL_QUADS);
    EmitVertices(Ground, 4);
    glEnd();
}

// The four walls face the inside of the arena; the texture repeats ArenaScale times along a
// wall and once over its height.
void EmitWalls() {
    const float W = float(WallHalfExtent());
    const float R = float(ArenaScale);
    const float B = GroundLevel;
    const float T = WallTop;
    const TexturedVertex Walls[16] = {
        {R, 0, W, B, -W},  {R, 1, W, T, -W},  {0, 1, -W, T, -W}, {0, 0, -W, B, -W}, // z = -500
        {0, 0, -W, B, -W}, {0, 1, -W, T, -W}, {R, 1, -W, T, W},  {R, 0, -W, B, W},  // x = -500
        {R, 0, W, B, W},   {R, 1, W, T, W},   {0, 1, W, T, -W},  {0, 0, W, B, -W},  // x = 500
        {0, 0, -W, B, W},  {0, 1, -W, T, W},  {R, 1, W, T, W},   {R, 0, W, B, W},   // z = 500
    };
    glBegin(GL_QUADS);
    EmitVertices(Walls, 16);
    glEnd();
}

struct SkyFace {
    const GLuint*  Texture;    // the face's texture variable, read when the list is compiled
    TexturedVertex Corners[4]; // in drawing order
};

// The cube [-1, 1]^3 seen from inside; it has no bottom, the ground covers that view.
const SkyFace SkyFaces[5] = {
    {&TexSkyBack, {{0, 0, -1, -1, -1}, {0, 1, -1, 1, -1}, {1, 1, 1, 1, -1}, {1, 0, 1, -1, -1}}},
    {&TexSkyFront, {{1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
    {&TexSkyUp, {{0, 0, -1, 1, -1}, {0, 1, -1, 1, 1}, {1, 1, 1, 1, 1}, {1, 0, 1, 1, -1}}},
    {&TexSkyLeft, {{1, 0, -1, -1, -1}, {0, 0, -1, -1, 1}, {0, 1, -1, 1, 1}, {1, 1, -1, 1, -1}}},
    {&TexSkyRight, {{0, 0, 1, -1, -1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, 1, 1, -1}}},
};

} // namespace

void BuildTerrain() {
    PlaceTrees();
    ArenaList = RenewList(ArenaList);
    glNewList(ArenaList, GL_COMPILE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TexCliffBottom);
    glEnable(GL_CULL_FACE);
    EmitGround();
    glBindTexture(GL_TEXTURE_2D, TexFloor);
    EmitWalls();
    glDisable(GL_CULL_FACE);
    glEndList();
}

namespace {

// The sky faces' parts above (Upper) or below the eye's horizontal plane y = 0. On the four
// sides t follows y as (y + 1) / 2, so a corner moved onto the plane keeps its texel.
void EmitSkyHalf(bool Upper) {
    for (const SkyFace& Face : SkyFaces) {
        TexturedVertex Corners[4];
        bool           Any = false;
        for (int32_t I = 0; I < 4; ++I) {
            Corners[I] = Face.Corners[I];
            const float Y = Upper ? std::max(Corners[I].Y, 0.0f) : std::min(Corners[I].Y, 0.0f);
            Any |= Y != 0;
            if (Y != Corners[I].Y) {
                Corners[I].Y = Y;
                Corners[I].T = (Y + 1) / 2;
            }
        }
        if (!Any)
            continue; // the top face has nothing below the horizon
        glBindTexture(GL_TEXTURE_2D, *Face.Texture);
        // Clamped, so the cube's edges show no seam from the opposite border of the picture.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBegin(GL_QUADS);
        EmitVertices(Corners, 4);
        glEnd();
    }
}

} // namespace

void BuildSkybox() {
    SkyUpperList = RenewList(SkyUpperList);
    glNewList(SkyUpperList, GL_COMPILE);
    EmitSkyHalf(true);
    glEndList();
    SkyLowerList = RenewList(SkyLowerList);
    glNewList(SkyLowerList, GL_COMPILE);
    EmitSkyHalf(false);
    glEndList();
    SkyboxList = RenewList(SkyboxList);
    glNewList(SkyboxList, GL_COMPILE);
    glCallList(SkyUpperList);
    glCallList(SkyLowerList);
    glEndList();
}

void GenerateTerrain() {
    AddLogLine("Generating terrain...", 1.0, 1.0, 1.0);
    BuildTerrain();
    BuildSkybox();
    MeasureSprites(); // the textures of this set-up are loaded by now
}
