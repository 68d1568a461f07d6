// Particles and explosions: emission into free slots, the freeze while switched off, spark
// motion with bounce and wall reflection, the explosion table and the sphere layers in pixels.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "render/Textures.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "support/GLContext.h"
#include "world/World.h"

namespace {

class ParticlesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FillTrigTables();
        ArenaScale = 10;
        SpeedFactor = 1.0f;
        ShowParticles = true;
        DetailLevel = 3;
        Actors[0] = Actor_Rec{};
        Actors[0].Energy = 100;
        for (int I = 0; I <= ParticleSlots; I++) {
            Sparks[I] = Spark_Rec{};
            Smokes[I] = Smoke_Rec{};
        }
        ResetExplosions();
    }
};

int LiveSparks() {
    int N = 0;
    for (int I = 1; I <= ParticleSlots; I++)
        N += Sparks[I].Life > 0;
    return N;
}

// A spark and a smoke puff go into each free slot from slot 1 on until the count is spent; what
// finds no free slot is dropped.
TEST_F(ParticlesTest, EmitsIntoTheFirstFreeSlotsUntilTheCountIsSpent) {
    SpawnParticles(4, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(LiveSparks(), 4);
    EXPECT_EQ(Sparks[4].Life, 1.0f);
    EXPECT_EQ(Sparks[5].Life, 0.0f);

    for (int I = 1; I <= ParticleSlots; I++)
        Sparks[I].Life = 0.5f;
    Sparks[10].Life = 0;
    Sparks[500].Life = 0;
    Sparks[1000].Life = 0;
    Sparks[0].Life = 0; // slot 0 is never used
    SpawnParticles(5, 1, 2, 3, 0.1, 0.2, 0.3);
    EXPECT_EQ(Sparks[10].Life, 1.0f);
    EXPECT_EQ(Sparks[500].Life, 1.0f);
    EXPECT_EQ(Sparks[1000].Life, 1.0f);
    EXPECT_EQ(Sparks[0].Life, 0.0f);
    EXPECT_EQ(Smokes[500].Life, 1.0f);
    EXPECT_FLOAT_EQ(Smokes[500].Z, 3.0f);
    EXPECT_FLOAT_EQ(Sparks[1000].ColorB, 0.3f);
}

TEST_F(ParticlesTest, RandomNumbersAreDrawnSizeAngleForceThenRise) {
    RandomSeed = 987654;
    Smokes[1].Spin = 1.25f;
    Smokes[1].Angle = 40;
    SpawnParticles(1, 5, -170, 7, 1, 0, 0);
    RandomSeed = 987654;
    const double     Size = RandomReal() / 5 + 0.45;
    const int64_t    A = Trunc(RandomReal() * 360);
    const double     F = RandomReal() * 4;
    const double     Rise = RandomReal() * 8 - 4;
    const Spark_Rec& S = Sparks[1];
    EXPECT_FLOAT_EQ(S.Size, float(Size));
    EXPECT_GE(S.Size, 0.45f);
    EXPECT_LE(S.Size, 0.65f);
    EXPECT_FLOAT_EQ(S.VelX, float(CosTable[A + TrigOffset] * F));
    EXPECT_FLOAT_EQ(S.VelZ, float(SinTable[A + TrigOffset] * F));
    EXPECT_FLOAT_EQ(S.VelY, float(Rise));
    EXPECT_EQ(Smokes[1].Spin, 1.25f) << "the smoke keeps its spin and angle";
    EXPECT_EQ(Smokes[1].Angle, 40.0f);
}

TEST_F(ParticlesTest, SwitchedOffCreatesNothingAndFreezesTheLiving) {
    SpawnParticles(1, 0, 0, 0, 1, 1, 1);
    ShowParticles = false;
    SpawnParticles(3, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(LiveSparks(), 1);
    const Spark_Rec Before = Sparks[1];
    const float     SmokeY = Smokes[1].Y;
    const uint32_t  Seed = RandomSeed;
    for (int Frame = 0; Frame < 20; Frame++)
        DrawParticles();
    EXPECT_EQ(Sparks[1].X, Before.X);
    EXPECT_EQ(Sparks[1].Y, Before.Y);
    EXPECT_EQ(Sparks[1].Life, Before.Life);
    EXPECT_EQ(Smokes[1].Y, SmokeY);
    EXPECT_EQ(RandomSeed, Seed);
    ShowParticles = true;
    DrawParticles();
    EXPECT_LT(Sparks[1].Life, Before.Life) << "and resume where they were";
}

TEST_F(ParticlesTest, SparkFallsBouncesOnTheGroundAndReflectsAtTheWall) {
    Spark_Rec& S = Sparks[1];
    S.Life = 0.8f;
    S.X = 499.5f;
    S.Y = -178.5f;
    S.Z = 0;
    S.VelX = 5;
    S.VelY = -5;
    S.VelZ = -1;
    SpeedFactor = 1;
    DrawParticles();
    EXPECT_FLOAT_EQ(S.Y, -179.0f);
    EXPECT_NEAR(S.VelY, (-5 - 0.09) * -0.99, 1e-5) << "99 % of the speed, upwards";
    EXPECT_FLOAT_EQ(S.X, 500.0f);
    EXPECT_FLOAT_EQ(S.VelX, -5.0f);
    EXPECT_FLOAT_EQ(S.Z, -0.2f);
    EXPECT_FLOAT_EQ(S.VelZ, -1.0f);
    EXPECT_FLOAT_EQ(S.Life, 0.79f);

    S.Z = -499.9f;
    S.VelZ = -3;
    DrawParticles();
    EXPECT_FLOAT_EQ(S.Z, -500.0f);
    EXPECT_FLOAT_EQ(S.VelZ, 3.0f);
}

TEST_F(ParticlesTest, SparkLivesAHundredFramesAndSmokeAboutThreeHundredThirtyThree) {
    SpawnParticles(1, 0, 0, 0, 1, 1, 1);
    Smokes[1].Spin = 2;
    int Frames = 0;
    while (Sparks[1].Life > 0 && Frames < 1000) {
        DrawParticles();
        Frames++;
    }
    EXPECT_NEAR(Frames, 100, 1);
    EXPECT_NEAR(Smokes[1].Angle, 2.0f * Frames, 1e-3) << "spin is per frame";
    EXPECT_GT(Smokes[1].Y, 0.0f) << "smoke rises";
    while (Smokes[1].Life > 0 && Frames < 1000) {
        DrawParticles();
        Frames++;
    }
    EXPECT_NEAR(Frames, 334, 2);
    EXPECT_EQ(Smokes[1].Life, 0.0f);
}

TEST_F(ParticlesTest, ResetGivesEverySmokeASpinAndFreesAll) {
    Sparks[3].Life = 0.4f;
    Smokes[3].Angle = 12;
    ResetParticles();
    float Low = 10, High = -10;
    for (int I = 1; I <= ParticleSlots; I++) {
        EXPECT_EQ(Sparks[I].Life, 0.0f);
        Low = std::min(Low, Smokes[I].Spin);
        High = std::max(High, Smokes[I].Spin);
    }
    EXPECT_EQ(Smokes[3].Angle, 0.0f);
    EXPECT_GE(Low, -2.5f);
    EXPECT_LT(High, 2.5f);
    EXPECT_LT(Low, -2.3f);
    EXPECT_GT(High, 2.3f);
}

TEST_F(ParticlesTest, HundredAndFirstExplosionIsDropped) {
    for (int N = 1; N <= ExplosionSlots; N++)
        SpawnExplosion(N, 0, 0, 1.0f);
    SpawnExplosion(999, 0, 0, 3.0f);
    for (int I = 1; I <= ExplosionSlots; I++)
        EXPECT_FLOAT_EQ(Explosions[I].X, float(I));
    Explosions[40].Life = -0.001f; // an explosion just over
    SpawnExplosion(999, 1, 2, 3.0f);
    EXPECT_FLOAT_EQ(Explosions[40].X, 999.0f);
    EXPECT_FLOAT_EQ(Explosions[40].Size, 3.0f);
    EXPECT_EQ(Explosions[40].Life, 1.0f);
}

TEST_F(ParticlesTest, ExplosionLastsAHundredFrames) {
    SpawnExplosion(0, 0, 0, 2.0f);
    int Frames = 0;
    while (Explosions[1].Life > 0 && Frames < 500) {
        DrawExplosions();
        Frames++;
    }
    EXPECT_NEAR(Frames, 100, 1);
    DrawExplosions();
    EXPECT_EQ(Explosions[1].Life, 0.0f) << "a finished slot is set back to 0";
}

// --- In pixels -------------------------------------------------------------------------------

// A 64 x 64 context looking down -Z through a 45-degree lens; the particle textures and the
// sphere list a test makes are released after it.
class ParticlesDrawing : public ParticlesTest {
  protected:
    void SetUp() override {
        ParticlesTest::SetUp();
        REQUIRE_GL(Ctx);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 1, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        if (!Ctx.Ready()) return;
        for (GLuint* Texture : {&TexParticle, &TexSmoke}) {
            if (*Texture) glDeleteTextures(1, Texture);
            *Texture = 0;
        }
        if (SphereList) glDeleteLists(SphereList, 1);
        SphereList = 0;
    }
    clsTestGLContext Ctx{64, 64};
};

// A display list that covers the whole view with the current colour, whatever the transform.
uint32_t FullViewList() {
    const uint32_t List = glGenLists(1);
    glNewList(List, GL_COMPILE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0);
    glVertex3f(1, -1, 0);
    glVertex3f(1, 1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEndList();
    return List;
}

// Each sphere layer adds Life over its divisor: 2 and 1.6 at low detail, then 1.4 and 1.2 at
// medium, then 1 at high: two, four or five spheres.
TEST_F(ParticlesDrawing, SphereLayersByDetailAddUpInThePicture) {
    SphereList = FullViewList();
    DiskList = 0;
    glDisable(GL_TEXTURE_2D);
    const struct {
        float  Life;
        int    Detail;
        double Sum; // of 1 / divisor over the layers drawn
    } Cases[] = {{0.2f, 1, 1 / 2.0 + 1 / 1.6},
                 {0.1f, 1, 1 / 2.0 + 1 / 1.6},
                 {0.2f, 2, 1 / 2.0 + 1 / 1.6 + 1 / 1.4 + 1 / 1.2},
                 {0.2f, 3, 1 / 2.0 + 1 / 1.6 + 1 / 1.4 + 1 / 1.2 + 1}};
    for (const auto& C : Cases) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DetailLevel = C.Detail;
        ResetExplosions();
        Explosions[1] = Explosion_Rec{0, 0, -10, C.Life, 1.0f};
        DrawExplosions();
        EXPECT_NEAR(Ctx.Pixel(32, 32)[0], C.Life * C.Sum * 255, 3)
            << "Life " << C.Life << ", detail " << C.Detail;
    }
    EXPECT_EQ(ExplosionSphereCount(1), 2);
    EXPECT_EQ(ExplosionSphereCount(2), 4);
    EXPECT_EQ(ExplosionSphereCount(3), 5);
}

TEST_F(ParticlesDrawing, SparkAddsItsColourTimesLifeAndHidesWhileSwitchedOff) {
    TexParticle = PlainTexture(255, 255, 255);
    TexSmoke = TexParticle;
    SpeedFactor = 0; // nothing moves or ages: only the drawing counts
    Sparks[1] = Spark_Rec{0, 0, -2, 1, 0, 0, 0, 0, 0, 0.5f, 0.6f};

    glClearColor(0, 0, 0.2f, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawParticles();
    auto P = Ctx.Pixel(32, 32);
    EXPECT_NEAR(P[0], 128, 3) << "red times Life 0.5 added";
    EXPECT_NEAR(P[2], 51, 2) << "what was behind stays";

    ShowParticles = false;
    glClear(GL_COLOR_BUFFER_BIT);
    DrawParticles();
    EXPECT_EQ(Ctx.Pixel(32, 32)[0], 0);
}

// The explosions draw in whatever state the particle pass leaves: that of its last live
// particle, also when that particle lies outside the view and is not drawn.
TEST_F(ParticlesDrawing, CulledLastParticleStillLeavesItsDrawingState) {
    TexParticle = PlainTexture(255, 255, 255);
    TexSmoke = PlainTexture(0, 255, 0);
    SpeedFactor = 0;
    Sparks[1] = Spark_Rec{0, 0, -2, 1, 0, 0, 0, 0, 0, 0.5f, 0.6f}; // in view, drawn
    Smokes[2].Life = 0.5f;
    Smokes[2].Z = 50; // behind the eye: the last live particle, culled

    glClear(GL_COLOR_BUFFER_BIT);
    DrawParticles();
    EXPECT_GT(Ctx.Pixel(32, 32)[0], 100) << "the spark in view is drawn";
    EXPECT_EQ(Ctx.Pixel(32, 32)[1], 0) << "the smoke behind the eye is not";
    GLint Texture = 0, Source = 0, Destination = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &Texture);
    glGetIntegerv(GL_BLEND_SRC, &Source);
    glGetIntegerv(GL_BLEND_DST, &Destination);
    EXPECT_EQ(GLuint(Texture), TexSmoke);
    EXPECT_EQ(Source, GL_SRC_ALPHA);
    EXPECT_EQ(Destination, GL_ONE_MINUS_SRC_COLOR);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

} // namespace
