// The sky drawn after the opaque arena into what the arena leaves: the same picture, depth and
// state as the sky drawn first and cleared from the depth buffer.
#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "core/GameState.h"
#include "core/InputState.h"
#include "render/Scene.h"
#include "render/Terrain.h"
#include "support/GLContext.h"
#include "world/World.h"

namespace {

constexpr int Size = 64;

GLuint FlatTexture(uint8_t R, uint8_t G, uint8_t B) {
    GLuint        Name = 0;
    const uint8_t Pixel[4] = {R, G, B, 255};
    glGenTextures(1, &Name);
    glBindTexture(GL_TEXTURE_2D, Name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, Pixel);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return Name;
}

void Square(float X, float Y, float H, float Z) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex3f(X - H, Y - H, Z);
    glTexCoord2f(1, 0); glVertex3f(X + H, Y - H, Z);
    glTexCoord2f(1, 1); glVertex3f(X + H, Y + H, Z);
    glTexCoord2f(0, 1); glVertex3f(X - H, Y + H, Z);
    glEnd();
}

std::vector<float> ReadDepth() {
    std::vector<float> Depth(size_t(Size) * Size);
    glReadPixels(0, 0, Size, Size, GL_DEPTH_COMPONENT, GL_FLOAT, Depth.data());
    return Depth;
}

class SkyOrderTest : public ::testing::Test {
  protected:
    GLuint SkyTexture = 0, GroundTexture = 0;

    void SetUp() override {
        Actors[0] = Actor_Rec{};
        Actor_Rec& P = Actors[0];
        // Far from the origin, so a sky drawn with the camera's translation would miss the view.
        P.X = 300;
        P.Y = -179;
        P.Z = -200;
        P.Heading = 20;
        P.Energy = 100;
        GameState = 2;
        CameraMode = 1;
        SkyUpperList = 0;
    }
    void TearDown() override {
        if (SkyboxList) glDeleteLists(SkyboxList, 1);
        if (ArenaList) glDeleteLists(ArenaList, 1);
        SkyboxList = ArenaList = 0;
    }

    // A sky of two faces (the second overlaps the first, so their order shows) close around
    // the eye, and an arena piece in front of the tank covering part of the view.
    void BuildLists() {
        SkyTexture = FlatTexture(200, 60, 30);
        GroundTexture = FlatTexture(40, 220, 90);
        SkyboxList = glGenLists(1);
        glNewList(SkyboxList, GL_COMPILE);
        glBindTexture(GL_TEXTURE_2D, SkyTexture);
        Square(0, 0, 1, -0.5f);
        glBindTexture(GL_TEXTURE_2D, GroundTexture);
        Square(0.2f, 0.2f, 0.1f, -0.5f);
        glEndList();
        ArenaList = glGenLists(1);
        glNewList(ArenaList, GL_COMPILE);
        glBindTexture(GL_TEXTURE_2D, GroundTexture);
        glPushMatrix();
        glTranslatef(300, -178, -200);
        glRotatef(20, 0, 1, 0);
        Square(-5, -5, 10, -40);
        glPopMatrix();
        glEndList();
    }

    void Frame() {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, 1, 0.1, 1500);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1, 1, 1);
        PlaceCamera();
        DrawArena();
    }
};

TEST_F(SkyOrderTest, ArenaFirstGivesTheSamePictureDepthAndStateAsSkyFirst) {
    clsTestGLContext Ctx(Size, Size);
    REQUIRE_GL(Ctx);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    BuildLists();

    // Sky first: blending on with a blend that replaces, so only the order differs.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    Frame();
    const std::vector<uint8_t> SkyFirst = Ctx.ReadPixels();
    const std::vector<float>   SkyFirstDepth = ReadDepth();

    glDisable(GL_BLEND);
    Frame();
    GLfloat View[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, View);
    EXPECT_GT(std::fabs(View[12]) + std::fabs(View[13]) + std::fabs(View[14]), 100.0f)
        << "the camera's translation stays in force after the sky";
    GLint Bound = 0, Func = 0, Mask = 0;
    GLfloat Range[2] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &Bound);
    glGetIntegerv(GL_DEPTH_FUNC, &Func);
    glGetIntegerv(GL_DEPTH_WRITEMASK, &Mask);
    glGetFloatv(GL_DEPTH_RANGE, Range);
    EXPECT_EQ(GLuint(Bound), GroundTexture) << "the arena's texture stays bound";
    EXPECT_EQ(Func, GL_LESS);
    EXPECT_EQ(Mask, GL_TRUE);
    EXPECT_EQ(Range[0], 0.0f);
    EXPECT_EQ(Range[1], 1.0f);

    const std::vector<uint8_t> ArenaFirst = Ctx.ReadPixels();
    const std::vector<float>   ArenaFirstDepth = ReadDepth();
    int SkyPixels = 0, GroundPixels = 0;
    for (size_t I = 0; I < ArenaFirst.size(); I += 4) {
        SkyPixels += ArenaFirst[I] == 200;
        GroundPixels += ArenaFirst[I] == 40;
    }
    // Both must show for the comparison to mean anything: sky around, arena in the middle.
    ASSERT_GT(SkyPixels, Size * Size / 4);
    ASSERT_GT(GroundPixels, Size * Size / 10);
    EXPECT_EQ(ArenaFirst, SkyFirst);
    EXPECT_EQ(ArenaFirstDepth, SkyFirstDepth) << "the sky leaves no depth behind";

    glDeleteTextures(1, &SkyTexture);
    glDeleteTextures(1, &GroundTexture);
}

TEST_F(SkyOrderTest, AWaitingSkyIsDrawnOnceAndOnlyByTheNextArena) {
    clsTestGLContext Ctx(Size, Size);
    REQUIRE_GL(Ctx);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    BuildLists();
    Frame();
    // The arena drawn again without a camera placed in between: the sky is not drawn again.
    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawArena();
    const auto Corner = Ctx.Pixel(2, Size - 3);
    EXPECT_EQ(Corner[0], 0) << "no sky in the corner";
    EXPECT_EQ(Corner[2], 255);
    EXPECT_EQ(Ctx.Pixel(Size / 2 - 8, Size / 2 - 8)[0], 40) << "the arena is drawn";
    glDeleteTextures(1, &SkyTexture);
    glDeleteTextures(1, &GroundTexture);
}

} // namespace
