// The arena: tree spots and their draw order, and the ground, wall and sky lists drawn in a
// real GL context and read back.
#include "render/Terrain.h"

#include "core/EventLog.h"
#include "platform/Numbers.h"
#include "render/Textures.h"
#include "support/GLContext.h"
#include "world/World.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A GL context of the given size; the arena textures are freed and cleared after each test.
class ArenaGLTest : public ::testing::Test {
  protected:
    ArenaGLTest(int Width, int Height) : Ctx(Width, Height) {}
    void SetUp() override {
        REQUIRE_GL(Ctx);
        ArenaScale = 10;
    }
    void TearDown() override {
        for (GLuint* T : {&TexFloor, &TexCliffBottom, &TexSkyBack, &TexSkyFront, &TexSkyUp,
                          &TexSkyLeft, &TexSkyRight}) {
            if (*T) glDeleteTextures(1, T);
            *T = 0;
        }
    }
    // A texture of Width x 1 texels (R, G, B each), nearest filtering, no anisotropy.
    static GLuint Strip(std::vector<uint8_t> Rgb) {
        return UploadTexture(uint16_t(Rgb.size() / 3), 1, GL_RGB, Rgb.data(), GL_NEAREST,
                             GL_NEAREST, 0);
    }
    clsTestGLContext Ctx;
};

class TerrainTest : public ArenaGLTest {
  protected:
    TerrainTest() : ArenaGLTest(200, 30) {}
};

} // namespace

// Each spot draws its x, then its z, then its size; the spots go round the four sides (1: z
// near -800, 2: z near 800, 3: x near -800, 4: x near 800), 25 rounds.
TEST_F(TerrainTest, TreeSpotsFillTheFourBandsInDrawOrder) {
    RandomSeed = 987654321u;
    GenerateTerrain();
    EXPECT_EQ(CurrentMessage, "Generating terrain...");
    const uint32_t After = RandomSeed;
    RandomSeed = 987654321u;
    for (int I = 0; I < TreeSpotCount; ++I) {
        SCOPED_TRACE("spot " + std::to_string(I));
        const double RX = RandomReal(), RZ = RandomReal();
        const float  Size = float(RandomInt(20) + 10);
        const double Along[4][2] = {{(RX * 160 - 80) * 10, (-60 - RZ * 20) * 10},
                                    {(80 - RX * 160) * 10, (RZ * 20 + 60) * 10},
                                    {(-60 - RX * 20) * 10, (80 - RZ * 160) * 10},
                                    {(RX * 20 + 60) * 10, (RZ * 160 - 80) * 10}};
        EXPECT_FLOAT_EQ(TreeSpots[I].X, float(Along[I % 4][0]));
        EXPECT_FLOAT_EQ(TreeSpots[I].Z, float(Along[I % 4][1]));
        EXPECT_EQ(TreeSpots[I].Size, Size);
    }
    EXPECT_EQ(RandomSeed, After) << "exactly three draws per spot";
}

// A new generation makes new lists and deletes those of the one before. (The same random state
// giving the same layout is the draw-order case above: the spots follow from the seed alone.)
TEST_F(TerrainTest, ANewGenerationReplacesTheLists) {
    BuildTerrain();
    BuildSkybox();
    const uint32_t OldArena = ArenaList, OldSky = SkyboxList;
    GenerateTerrain();
    EXPECT_TRUE(glIsList(ArenaList));
    EXPECT_TRUE(glIsList(SkyboxList));
    // The old names are deleted before the new ones are made, so they may come back; either
    // way nothing of the previous generation is left besides the current two lists.
    for (uint32_t Old : {OldArena, OldSky}) {
        if (Old != ArenaList && Old != SkyboxList) {
            EXPECT_FALSE(glIsList(Old));
        }
    }
}

namespace {

// Orthographic view along the ground from Eye towards Centre, at the wall's mid-height; the
// 200 x 30 viewport spans 1000 units across and 30 units up, and only 1000 units deep.
void LookAlongGround(double EyeX, double EyeZ, double CentreX, double CentreZ) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-500, 500, -15, 15, 0, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(EyeX, -170, EyeZ, CentreX, -170, CentreZ, 0, 1, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
}

// Runs of one colour along the middle row, as a string: B for blue, Y for yellow, . for
// anything else; consecutive equal pixels count once.
std::string MiddleRowRuns(const clsTestGLContext& Ctx) {
    const std::vector<uint8_t> Pixels = Ctx.ReadPixels();
    std::string                Runs;
    for (int X = 0; X < Ctx.Width; ++X) {
        const uint8_t* P = &Pixels[(size_t(Ctx.Height / 2) * Ctx.Width + X) * 4];
        const char     C = P[0] < 50 && P[1] < 50 && P[2] > 200    ? 'B'
                           : P[0] > 200 && P[1] > 200 && P[2] < 50 ? 'Y'
                                                                   : '.';
        if (Runs.empty() || Runs.back() != C) Runs += C;
    }
    return Runs;
}

std::string Repeat(const std::string& Unit, int Times) {
    std::string S;
    for (int I = 0; I < Times; ++I)
        S += Unit;
    return S;
}

} // namespace

TEST_F(TerrainTest, WallsShowTheFloorTenTimesFromInsideAndNothingFromOutside) {
    TexFloor = Strip({0, 0, 255, 255, 255, 0});     // s < 0.5 blue, s >= 0.5 yellow
    TexCliffBottom = Strip({255, 0, 0, 0, 255, 0}); // red and green: must not show on walls
    BuildTerrain();
    struct Wall {
        const char* Name;
        double      DirX, DirZ; // from the centre towards the wall
        std::string FromInside; // colour runs left to right
    };
    // The walls at z = 500 and x = -500 run s from 10 on the left down to 0.
    const Wall Walls[4] = {{"z = -500", 0, -1, Repeat("BY", 10)},
                           {"x = 500", 1, 0, Repeat("BY", 10)},
                           {"z = 500", 0, 1, Repeat("YB", 10)},
                           {"x = -500", -1, 0, Repeat("YB", 10)}};
    for (const Wall& W : Walls) {
        SCOPED_TRACE(W.Name);
        LookAlongGround(0, 0, W.DirX, W.DirZ);
        glCallList(ArenaList);
        EXPECT_EQ(MiddleRowRuns(Ctx), W.FromInside);
        // One pixel a unit upwards: the wall covers y = -180..-160, rows 5 to 24.
        const std::vector<uint8_t> Pixels = Ctx.ReadPixels();
        int                        WallRows = 0, Lowest = -1;
        for (int Y = 0; Y < Ctx.Height; ++Y)
            if (Pixels[(size_t(Y) * Ctx.Width + 100) * 4 + 2] > 200 ||
                Pixels[(size_t(Y) * Ctx.Width + 100) * 4] > 200) {
                ++WallRows;
                Lowest = Lowest < 0 ? Y : Lowest;
            }
        EXPECT_EQ(WallRows, 20);
        EXPECT_EQ(Lowest, 5);
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << "the list leaves culling off";
        // From 1000 units outside, looking back at the centre; the far wall is out of depth.
        LookAlongGround(W.DirX * 1000, W.DirZ * 1000, 0, 0);
        glCallList(ArenaList);
        EXPECT_EQ(MiddleRowRuns(Ctx), ".");
    }
}

TEST_F(TerrainTest, GroundFacesUpWithItsTextureRepeated300Times) {
    TexCliffBottom = Strip({0, 0, 255, 255, 255, 0});
    TexFloor = Strip({255, 0, 0, 255, 0, 0});
    BuildTerrain();
    // 200 pixels over x = -800..-760: s runs from 0 to 40 * 300 / 1600 = 7.5, 15 half-texels.
    auto LookAtGround = [](double EyeY, double UpZ) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-20, 20, -3, 3, 0, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(-780, EyeY, 0, -780, -180, 0, 0, 0, UpZ);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    };
    LookAtGround(0, -1); // from above, screen right is +x
    glCallList(ArenaList);
    EXPECT_EQ(MiddleRowRuns(Ctx), "BYBYBYBYBYBYBYB");
    LookAtGround(-400, -1); // from below: the ground is culled
    glCallList(ArenaList);
    EXPECT_EQ(MiddleRowRuns(Ctx), ".");
}

namespace {

class SkyTest : public ArenaGLTest {
  protected:
    SkyTest() : ArenaGLTest(64, 64) {}
    void SetUp() override {
        ArenaGLTest::SetUp();
        if (IsSkipped()) return;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90, 1, 0.1, 10);
        glMatrixMode(GL_MODELVIEW);
    }
    void Look(double X, double Y, double Z, double UpX, double UpY, double UpZ) {
        glLoadIdentity();
        gluLookAt(0, 0, 0, X, Y, Z, UpX, UpY, UpZ);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1, 1, 1);
        glCallList(SkyboxList);
    }
    std::vector<uint8_t> At(int X, int Y) { return Ctx.Pixel(X, Y); }
};

void ExpectRgb(const std::vector<uint8_t>& P, int R, int G, int B) {
    EXPECT_NEAR(P[0], R, 8);
    EXPECT_NEAR(P[1], G, 8);
    EXPECT_NEAR(P[2], B, 8);
}

struct FaceView {
    const char* Name;
    GLuint*     Texture;
    double      Dir[3]; // from the eye to the face's centre
    double      Up[3];  // the face's upward direction on screen
};

const FaceView FaceViews[5] = {
    {"back", &TexSkyBack, {0, 0, -1}, {0, 1, 0}},  {"front", &TexSkyFront, {0, 0, 1}, {0, 1, 0}},
    {"up", &TexSkyUp, {0, 1, 0}, {0, 0, 1}},       {"left", &TexSkyLeft, {-1, 0, 0}, {0, 1, 0}},
    {"right", &TexSkyRight, {1, 0, 0}, {0, 1, 0}},
};

} // namespace

TEST_F(SkyTest, EachFaceShowsItsOwnTextureUprightAndClamped) {
    // 2 x 2 textures, first row t = 0: red, green / blue, and a colour of the face's own.
    const uint8_t Own[5][3] = {
        {255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {128, 128, 128}};
    for (int I = 0; I < 5; ++I) {
        const uint8_t Rgb[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, Own[I][0], Own[I][1], Own[I][2]};
        *FaceViews[I].Texture = UploadTexture(2, 2, GL_RGB, Rgb, GL_NEAREST, GL_NEAREST, 0);
    }
    BuildSkybox();
    for (int I = 0; I < 5; ++I) {
        const FaceView& F = FaceViews[I];
        SCOPED_TRACE(F.Name);
        Look(F.Dir[0], F.Dir[1], F.Dir[2], F.Up[0], F.Up[1], F.Up[2]);
        ExpectRgb(At(16, 16), 255, 0, 0); // bottom left: s = 0, t = 0
        ExpectRgb(At(48, 16), 0, 255, 0); // bottom right
        ExpectRgb(At(16, 48), 0, 0, 255); // top left
        ExpectRgb(At(48, 48), Own[I][0], Own[I][1], Own[I][2]);
        glBindTexture(GL_TEXTURE_2D, *F.Texture);
        GLint S = 0, T = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &S);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &T);
        EXPECT_EQ(S, GL_CLAMP_TO_EDGE);
        EXPECT_EQ(T, GL_CLAMP_TO_EDGE);
    }
}

TEST_F(SkyTest, LookingDownShowsNoSkyFace) {
    const uint8_t White[3] = {255, 255, 255};
    for (const FaceView& F : FaceViews)
        *F.Texture = UploadTexture(1, 1, GL_RGB, White, GL_NEAREST, GL_NEAREST, 0);
    BuildSkybox();
    // A 60-degree view straight down sees only directions more than 50 degrees below the
    // horizon, where only a bottom face could be.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 1, 0.1, 10);
    glMatrixMode(GL_MODELVIEW);
    Look(0, -1, 0, 0, 0, -1);
    const std::vector<uint8_t> Pixels = Ctx.ReadPixels();
    int                        Lit = 0;
    for (int Y = 0; Y < 64; ++Y)
        for (int X = 0; X < 64; ++X)
            Lit += Pixels[(size_t(Y) * Ctx.Width + X) * 4] > 0 ? 1 : 0;
    EXPECT_EQ(Lit, 0);
    Look(0, 1, 0, 0, 0, 1); // the same view upwards is all sky
    ExpectRgb(At(32, 32), 255, 255, 255);
    ExpectRgb(At(2, 2), 255, 255, 255);
}
