// Sprite outlines: fitting a polygon to a picture's bright texels, and drawing it.
#include "render/Sprites.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/Textures.h"

SpriteShape SmokeShape;
SpriteShape SparkShape;
SpriteShape ShotShape;
SpriteShape TreeShape;
SpriteShape ExplosionShapes[16];

namespace {

constexpr float MarginTexels = 2.0f; // beyond a bright texel's centre: filter and first mip level

// Keeps the part of the polygon where A u + B v <= C (Sutherland-Hodgman, one edge).
void ClipShape(SpriteShape& Shape, float A, float B, float C) {
    SpriteShape Out;
    Out.Count = 0;
    for (int32_t I = 0; I < Shape.Count; ++I) {
        const int32_t J = (I + 1) % Shape.Count;
        const float   Di = A * Shape.U[I] + B * Shape.V[I] - C;
        const float   Dj = A * Shape.U[J] + B * Shape.V[J] - C;
        if (Di <= 0 && Out.Count < 12) {
            Out.U[Out.Count] = Shape.U[I];
            Out.V[Out.Count++] = Shape.V[I];
        }
        if ((Di < 0 && Dj > 0) || (Di > 0 && Dj < 0)) {
            const float F = Di / (Di - Dj);
            if (Out.Count < 12) {
                Out.U[Out.Count] = Shape.U[I] + F * (Shape.U[J] - Shape.U[I]);
                Out.V[Out.Count++] = Shape.V[I] + F * (Shape.V[J] - Shape.V[I]);
            }
        }
    }
    Shape = Out;
}

// The level-0 pixels of a texture as RGB, bottom row first; false when it has none.
bool ReadTexture(GLuint Texture, std::vector<uint8_t>& Rgb, int32_t& Width, int32_t& Height) {
    if (Texture == 0 || !glIsTexture(Texture))
        return false;
    glBindTexture(GL_TEXTURE_2D, Texture);
    GLint W = 0, H = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &W);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &H);
    if (W <= 0 || H <= 0)
        return false;
    Rgb.assign(size_t(W) * size_t(H) * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, Rgb.data());
    Width = W;
    Height = H;
    return true;
}

} // namespace

SpriteShape FitSpriteShape(const uint8_t* Rgb, int32_t PictureWidth, int32_t PictureHeight,
                           int32_t X0, int32_t Y0, int32_t Width, int32_t Height) {
    // Bounds of the bright texel centres in window texels, along u, v, u + v and u - v.
    float MinU = 1e9f, MaxU = -1e9f, MinV = 1e9f, MaxV = -1e9f;
    float MinSum = 1e9f, MaxSum = -1e9f, MinDiff = 1e9f, MaxDiff = -1e9f;
    const int32_t Left = std::max(0, X0 - 1), Right = std::min(PictureWidth, X0 + Width + 1);
    const int32_t Bottom = std::max(0, Y0 - 1), Top = std::min(PictureHeight, Y0 + Height + 1);
    for (int32_t Y = Bottom; Y < Top; ++Y) {
        const uint8_t* Row = Rgb + (size_t(Y) * size_t(PictureWidth)) * 3;
        for (int32_t X = Left; X < Right; ++X) {
            const uint8_t* P = Row + size_t(X) * 3;
            if (std::max({P[0], P[1], P[2]}) <= SpriteBlackLevel)
                continue;
            const float U = float(X - X0) + 0.5f, V = float(Y - Y0) + 0.5f;
            MinU = std::min(MinU, U);
            MaxU = std::max(MaxU, U);
            MinV = std::min(MinV, V);
            MaxV = std::max(MaxV, V);
            MinSum = std::min(MinSum, U + V);
            MaxSum = std::max(MaxSum, U + V);
            MinDiff = std::min(MinDiff, U - V);
            MaxDiff = std::max(MaxDiff, U - V);
        }
    }
    SpriteShape Shape;
    if (MaxU < MinU) {
        Shape.Count = 0;
        return Shape;
    }
    // Clipped in window texels, then scaled to the unit square.
    const float W = float(Width), H = float(Height), M = MarginTexels;
    Shape.U[1] = Shape.U[2] = W;
    Shape.V[2] = Shape.V[3] = H;
    ClipShape(Shape, -1, 0, -(MinU - M));
    ClipShape(Shape, 1, 0, MaxU + M);
    ClipShape(Shape, 0, -1, -(MinV - M));
    ClipShape(Shape, 0, 1, MaxV + M);
    ClipShape(Shape, -1, -1, -(MinSum - 2 * M));
    ClipShape(Shape, 1, 1, MaxSum + 2 * M);
    ClipShape(Shape, -1, 1, -(MinDiff - 2 * M));
    ClipShape(Shape, 1, -1, MaxDiff + 2 * M);
    for (int32_t I = 0; I < Shape.Count; ++I) {
        Shape.U[I] /= W;
        Shape.V[I] /= H;
    }
    return Shape;
}

void MeasureSprites() {
    const struct {
        GLuint*      Texture;
        SpriteShape* Shape;
    } Whole[] = {{&TexSmoke, &SmokeShape}, {&TexParticle, &SparkShape}, {&TexShot, &ShotShape},
                 {&TexTree, &TreeShape}};
    std::vector<uint8_t> Rgb;
    int32_t              W = 0, H = 0;
    for (const auto& Entry : Whole)
        *Entry.Shape = ReadTexture(*Entry.Texture, Rgb, W, H)
                           ? FitSpriteShape(Rgb.data(), W, H, 0, 0, W, H)
                           : SpriteShape{};
    const bool Atlas = ReadTexture(TexExplosion, Rgb, W, H);
    for (int32_t Row = 0; Row < 4; ++Row)
        for (int32_t Column = 0; Column < 4; ++Column) {
            // Row 0 is the top row of the picture, the last rows of the bottom-first pixels.
            ExplosionShapes[Row * 4 + Column] =
                Atlas ? FitSpriteShape(Rgb.data(), W, H, Column * W / 4, (3 - Row) * H / 4, W / 4,
                                       H / 4)
                      : SpriteShape{};
        }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void DrawSpriteShape(const SpriteShape& Shape, float X0, float Y0, float X1, float Y1, float S0,
                     float T0, float S1, float T1) {
    if (Shape.Count < 3)
        return;
    glBegin(GL_POLYGON);
    for (int32_t I = 0; I < Shape.Count; ++I) {
        const float U = Shape.U[I], V = Shape.V[I];
        glTexCoord2f(S0 + U * (S1 - S0), T0 + V * (T1 - T0));
        glVertex3f(X0 + U * (X1 - X0), Y0 + V * (Y1 - Y0), 0);
    }
    glEnd();
}

void ViewVolume::Load() {
    float P[16], M[16], C[16];
    glGetFloatv(GL_PROJECTION_MATRIX, P);
    glGetFloatv(GL_MODELVIEW_MATRIX, M);
    // C = P M, column-major as OpenGL keeps them.
    for (int Col = 0; Col < 4; ++Col)
        for (int Row = 0; Row < 4; ++Row) {
            float Sum = 0;
            for (int K = 0; K < 4; ++K)
                Sum += P[K * 4 + Row] * M[Col * 4 + K];
            C[Col * 4 + Row] = Sum;
        }
    // Clip space keeps -w <= x, y, z <= w: each plane is row 3 plus or minus row 0, 1 or 2.
    for (int Axis = 0; Axis < 3; ++Axis)
        for (int Side = 0; Side < 2; ++Side) {
            float*      Plane = Planes[Axis * 2 + Side];
            const float Sign = Side == 0 ? 1.0f : -1.0f;
            for (int Col = 0; Col < 4; ++Col)
                Plane[Col] = C[Col * 4 + 3] + Sign * C[Col * 4 + Axis];
            const float Length =
                std::sqrt(Plane[0] * Plane[0] + Plane[1] * Plane[1] + Plane[2] * Plane[2]);
            if (Length > 0)
                for (int Col = 0; Col < 4; ++Col)
                    Plane[Col] /= Length;
        }
}

bool ViewVolume::SphereVisible(float X, float Y, float Z, float Radius) const {
    for (const float* Plane : Planes)
        if (Plane[0] * X + Plane[1] * Y + Plane[2] * Z + Plane[3] < -Radius)
            return false;
    return true;
}
