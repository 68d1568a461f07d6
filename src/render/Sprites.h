// Sprite outlines fitted to what a texture actually shows. Every sprite of the game (smoke,
// sparks, shots, the explosion atlas cells, trees) is blended so that a black texel changes
// nothing on screen; drawing only the polygon around the texture's non-black texels gives the
// same picture for far fewer fragments, which is what the software rasteriser pays for.
//
// Conventions: a shape is a convex polygon in the unit square of its picture (u to the right,
// v up, (0, 0) at the bottom-left texel corner, as OpenGL's s and t). The full square is the
// shape of a picture whose every texel counts.
#pragma once
#include <cstdint>

struct SpriteShape {
    int32_t Count = 4;                  // corners; 0 when the picture is black throughout
    float   U[12] = {0, 1, 1, 0};       // corners counter-clockwise, unit square coordinates
    float   V[12] = {0, 0, 1, 1};
};

// Texels whose brightest channel is at most this are treated as black: JPEG leaves faint noise
// in black areas, and a value this small is not visible once blended.
constexpr int32_t SpriteBlackLevel = 2;

// The shape of the window (X0, Y0, Width, Height) of an RGB picture of PictureWidth texels a
// row, bottom row first: the square clipped to the texels brighter than SpriteBlackLevel, with
// a margin of two texels for the bilinear filter and the first mipmap level, along both axes
// and both diagonals (an octagon). Texels just outside the window are looked at too, since the
// filter reaches them at the window's border.
SpriteShape FitSpriteShape(const uint8_t* Rgb, int32_t PictureWidth, int32_t PictureHeight,
                           int32_t X0, int32_t Y0, int32_t Width, int32_t Height);

// The shapes of the game's sprite textures, measured from the loaded textures by MeasureSprites.
extern SpriteShape SmokeShape;
extern SpriteShape SparkShape;
extern SpriteShape ShotShape;
extern SpriteShape TreeShape;
extern SpriteShape ExplosionShapes[16]; // atlas cell row * 4 + column, row 0 at the top

// Reads back TexSmoke, TexParticle, TexShot, TexTree and TexExplosion and fits their shapes;
// a texture that cannot be read keeps the full square. Needs a current context.
void MeasureSprites();

// Draws Shape as one polygon: unit (u, v) goes to position (X0 + u (X1 - X0), Y0 + v (Y1 - Y0), 0)
// and texture coordinate (S0 + u (S1 - S0), T0 + v (T1 - T0)) - the same mapping as the full quad
// (X0, Y0)-(X1, Y1) with texture (S0, T0)-(S1, T1).
void DrawSpriteShape(const SpriteShape& Shape, float X0, float Y0, float X1, float Y1, float S0,
                     float T0, float S1, float T1);

// The distance of a square's corner from its centre per unit of half-width (a little over the
// square root of 2): the radius of the sphere a spinning sprite square stays in.
constexpr float SquareCornerReach = 1.4143f;

// The six planes of the current view volume, taken from the projection and model-view matrices
// when Load is called; a sprite whose bounding sphere lies wholly outside one plane is not
// drawn, since the clipper would throw all of it away anyway.
struct ViewVolume {
    float Planes[6][4] = {}; // a x + b y + c z + d >= 0 inside, (a, b, c) of unit length
    void  Load();
    bool  SphereVisible(float X, float Y, float Z, float Radius) const;
};
