// Sprite outlines: the polygon fitted to a picture's bright texels, the same picture drawn
// through it as through the full quad under each sprite blend mode, and the view volume test.
#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "render/Sprites.h"
#include "render/Textures.h"
#include "support/GLContext.h"

namespace {

// A square picture, bottom row first, black but for the texels Bright says.
template <typename Fn> std::vector<uint8_t> Picture(int32_t Side, Fn Bright) {
    std::vector<uint8_t> Rgb(size_t(Side) * Side * 3, 0);
    for (int32_t Y = 0; Y < Side; ++Y)
        for (int32_t X = 0; X < Side; ++X) {
            const int Level = Bright(X, Y);
            uint8_t*  P = &Rgb[(size_t(Y) * Side + X) * 3];
            P[0] = uint8_t(Level);
            P[1] = uint8_t(Level / 2);
            P[2] = uint8_t(Level / 3);
        }
    return Rgb;
}

// A soft disc of radius 20 texels about (32, 32), exactly black outside.
int Disc(int32_t X, int32_t Y) {
    const double R = std::hypot(X + 0.5 - 32, Y + 0.5 - 32);
    return R < 20 ? int(255 * (1 - R / 20)) : 0;
}

float Area(const SpriteShape& S) {
    float Twice = 0;
    for (int32_t I = 0; I < S.Count; ++I) {
        const int32_t J = (I + 1) % S.Count;
        Twice += S.U[I] * S.V[J] - S.U[J] * S.V[I];
    }
    return Twice / 2;
}

bool Inside(const SpriteShape& S, float U, float V) {
    for (int32_t I = 0; I < S.Count; ++I) {
        const int32_t J = (I + 1) % S.Count;
        if ((S.U[J] - S.U[I]) * (V - S.V[I]) - (S.V[J] - S.V[I]) * (U - S.U[I]) < -1e-6f)
            return false;
    }
    return true;
}

TEST(SpriteShapes, FitTheBrightTexelsWithTheirMargin) {
    // A block of texels 10..15 across and 20..25 up in a 32 x 32 picture.
    const auto Block = Picture(32, [](int32_t X, int32_t Y) {
        return X >= 10 && X <= 15 && Y >= 20 && Y <= 25 ? 200 : 0;
    });
    const SpriteShape S = FitSpriteShape(Block.data(), 32, 32, 0, 0, 32, 32);
    float MinU = 1, MaxU = 0, MinV = 1, MaxV = 0;
    for (int32_t I = 0; I < S.Count; ++I) {
        MinU = std::min(MinU, S.U[I]);
        MaxU = std::max(MaxU, S.U[I]);
        MinV = std::min(MinV, S.V[I]);
        MaxV = std::max(MaxV, S.V[I]);
    }
    // Texel centres 10.5..15.5 and 20.5..25.5, two texels of margin each way.
    EXPECT_FLOAT_EQ(MinU, 8.5f / 32);
    EXPECT_FLOAT_EQ(MaxU, 17.5f / 32);
    EXPECT_FLOAT_EQ(MinV, 18.5f / 32);
    EXPECT_FLOAT_EQ(MaxV, 27.5f / 32);
    EXPECT_TRUE(Inside(S, 10.0f / 32, 20.0f / 32)) << "a bright corner texel is cut off";
    EXPECT_TRUE(Inside(S, 16.0f / 32, 26.0f / 32));

    // The disc: the octagon is well under the square and still holds the whole disc.
    const auto Round = Picture(64, Disc);
    const SpriteShape D = FitSpriteShape(Round.data(), 64, 64, 0, 0, 64, 64);
    EXPECT_GE(D.Count, 8);
    EXPECT_LT(Area(D), 0.45f);
    for (int A = 0; A < 360; A += 5) {
        const float U = 0.5f + 20.0f / 64 * std::cos(A * 3.14159f / 180);
        const float V = 0.5f + 20.0f / 64 * std::sin(A * 3.14159f / 180);
        EXPECT_TRUE(Inside(D, U, V)) << "the disc's rim at " << A << " degrees is cut off";
    }

    // Black throughout (faint noise included) draws nothing; bright throughout, the square.
    const auto Faint = Picture(16, [](int32_t X, int32_t Y) { return (X + Y) % 3; });
    EXPECT_EQ(FitSpriteShape(Faint.data(), 16, 16, 0, 0, 16, 16).Count, 0);
    const auto Full = Picture(16, [](int32_t, int32_t) { return 90; });
    EXPECT_FLOAT_EQ(Area(FitSpriteShape(Full.data(), 16, 16, 0, 0, 16, 16)), 1.0f);
}

TEST(SpriteShapes, AtlasCellsAreFittedInTheirOwnWindow) {
    // A 32 x 32 atlas of 16 x 16 cells: only the top-right cell holds a bright texel, at its
    // own (4, 4); the cell to its left has one bright texel at its right border.
    const auto Atlas = Picture(32, [](int32_t X, int32_t Y) {
        return (X == 20 && Y == 20) ? 255 : 0;
    });
    const SpriteShape TopRight = FitSpriteShape(Atlas.data(), 32, 32, 16, 16, 16, 16);
    EXPECT_TRUE(Inside(TopRight, 4.5f / 16, 4.5f / 16));
    EXPECT_FALSE(Inside(TopRight, 12.0f / 16, 12.0f / 16));
    EXPECT_EQ(FitSpriteShape(Atlas.data(), 32, 32, 0, 0, 16, 16).Count, 0);
    // The filter reaches across a cell's border: a bright texel just beyond it counts.
    const auto Edge = Picture(32, [](int32_t X, int32_t Y) { return X == 16 && Y == 8 ? 255 : 0; });
    const SpriteShape Left = FitSpriteShape(Edge.data(), 32, 32, 0, 0, 16, 16);
    ASSERT_GT(Left.Count, 2);
    EXPECT_TRUE(Inside(Left, 1.0f, 8.5f / 16));
}

// The full quad and the fitted polygon drawn over the same background under each blend mode a
// sprite uses, spun and at two sizes (magnified, and minified into the first mipmap level).
TEST(SpriteShapes, FittedPolygonDrawsAsTheFullQuad) {
    clsTestGLContext Ctx(128, 128);
    REQUIRE_GL(Ctx);
    const auto         Rgb = Picture(64, Disc);
    const GLuint       Tex = UploadTexture(64, 64, GL_RGB, Rgb.data(), GL_LINEAR,
                                           GL_LINEAR_MIPMAP_NEAREST, 0);
    const SpriteShape  Fitted = FitSpriteShape(Rgb.data(), 64, 64, 0, 0, 64, 64);
    const SpriteShape  Square;
    const GLenum Modes[3][2] = {{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR},
                                {GL_ONE_MINUS_SRC_ALPHA, GL_ONE},
                                {GL_SRC_ALPHA, GL_ONE}};
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-64, 64, -64, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    auto Draw = [&](const SpriteShape& Shape, const GLenum* Mode, float Half) {
        // A background of colour bands for the blends to work on.
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glLoadIdentity();
        for (int Band = 0; Band < 8; ++Band) {
            glColor3f(Band / 8.0f, 0.5f, 1 - Band / 8.0f);
            glRectf(-64 + Band * 16, -64, -48 + Band * 16, 64);
        }
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, Tex);
        glEnable(GL_BLEND);
        glBlendFunc(Mode[0], Mode[1]);
        glRotatef(33, 0, 0, 1);
        glColor4f(1, 0.9f, 0.8f, 0.6f);
        DrawSpriteShape(Shape, -Half, -Half, Half, Half, 0, 0, 1, 1);
        glFinish();
        return Ctx.ReadPixels();
    };
    for (const GLenum* Mode : Modes)
        for (const float Half : {60.0f, 16.0f}) {
            const auto Whole = Draw(Square, Mode, Half);
            const auto Cut = Draw(Fitted, Mode, Half);
            const auto Background = Draw(SpriteShape{0, {}, {}}, Mode, Half);
            int Worst = 0, Changed = 0;
            for (size_t I = 0; I < Whole.size(); ++I) {
                Worst = std::max(Worst, std::abs(int(Whole[I]) - int(Cut[I])));
                Changed += Whole[I] != Background[I];
            }
            EXPECT_GT(Changed, 100) << "the sprite left no mark";
            EXPECT_LE(Worst, 1) << "blend " << Mode[0] << "/" << Mode[1] << " at half-width " << Half;
        }
    glDeleteTextures(1, &Tex);
}

TEST(SpriteShapes, ViewVolumeDropsOnlySpheresWhollyOutside) {
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90, 1, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90, 0, 1, 0); // looking along +x
    ViewVolume View;
    View.Load();
    EXPECT_TRUE(View.SphereVisible(10, 0, 0, 1));
    EXPECT_FALSE(View.SphereVisible(-10, 0, 0, 1)) << "behind the eye";
    EXPECT_FALSE(View.SphereVisible(0, 0, -10, 1)) << "beside the eye";
    EXPECT_FALSE(View.SphereVisible(150, 0, 0, 1)) << "beyond the far plane";
    // Centre just outside the 45-degree side plane, but its radius reaches in.
    EXPECT_FALSE(View.SphereVisible(10, 0, 12, 1));
    EXPECT_TRUE(View.SphereVisible(10, 0, 12, 2));
    EXPECT_TRUE(View.SphereVisible(10, 11, 0, 1));
    EXPECT_FALSE(View.SphereVisible(10, 13, 0, 1));
}

} // namespace
