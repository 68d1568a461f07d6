// clsAnimate: loading and its single report, the OpenGL state and projection it leaves, drawing
// through Update and Render, and the clock that drives the animation.
#include "model/Animate.h"
#include "ModelFixture.h"
#include "core/Timer.h"
#include "platform/Platform.h"
#include "shell/Window.h"
#include "support/GLContext.h"

#include <GL/gl.h>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The matrix glFrustum(-1, 1, -1, 1, 1, 1500) makes, column-major.
void ExpectFrustumProjection() {
    GLint Mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &Mode);
    EXPECT_EQ(Mode, GL_PROJECTION) << "the projection matrix stays current";
    GLfloat P[16];
    glGetFloatv(GL_PROJECTION_MATRIX, P);
    const float Expected[16] = {
        1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1501.0f / 1499.0f, -1, 0, 0, -3000.0f / 1499.0f, 0};
    for (int I = 0; I < 16; I++)
        EXPECT_NEAR(P[I], Expected[I], 1e-5) << I;
}

// A green quad over the whole view at z = -2 (inside the frustum), without bone or material, and
// two bones from (-1, 0, -2) to (1, 0, -2), in the quad's plane. The root's x position runs on
// by one a frame from frame 1.
const char* const RigModel =
    "Frames: 20\nFrame: 1\nMeshes: 1\n\"Quad\" 0 -1\n4\n"
    "0 -3 -3 -2 0 0 -1\n0 3 -3 -2 0 0 -1\n0 3 3 -2 0 0 -1\n0 -3 3 -2 0 0 -1\n"
    "1\n0 0 1\n2\n0 0 1 2 0 0 0 1\n0 0 2 3 0 0 0 1\n"
    "Materials: 0\nBones: 2\n\"Root\"\n\"\"\n0 -1 0 -2 0 0 0\n2\n1 0 0 0\n21 20 0 0\n0\n"
    "\"Tip\"\n\"Root\"\n0 2 0 0 0 0 0\n0\n0\n";

class Animate : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL(Ctx);
        WriteTextFile("models/rig.mdl", RigModel);
    }
    // A cleared frame, unlit, with green current and the view at the origin.
    static void GreenFrame() {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(0, 1, 0);
    }
    // Waits until the animator's clock reads at least Seconds past its last update.
    static void WaitForClock(const clsAnimate& Animator, float Seconds) {
        while (Animator.Clock->ElapsedSeconds() < Animator.LastTime + Seconds)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    clsTestGLContext Ctx{64, 64};
    clsTempFolder    Folder;
};

} // namespace

TEST_F(Animate, ConstructorLoadsSetsStateAndLeavesTheFrustum) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    const int  Before = MessagesShown;
    clsAnimate Animator("models/rig.mdl", 2.5);
    EXPECT_EQ(MessagesShown, Before) << "a good model is not reported";
    EXPECT_FALSE(Animator.ShowSkeleton);
    EXPECT_EQ(Animator.Model->MeshCount, 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint Shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &Shade);
    EXPECT_EQ(Shade, GL_SMOOTH);
    ExpectFrustumProjection();
}

TEST_F(Animate, AFailedModelIsReportedOnceAndTheAnimatorStillWorks) {
    WriteTextFile("models/broken.mdl", "Meshes: 1\n\"Broken\" 0 -1\n2\n");
    WriteTextFile("models/empty.mdl", "");
    WriteTextFile("models/garbage.mdl", "\x01\x9c\xfe garbage\n\x7f\n");
    for (const char* Name :
         {"models/none.mdl", "models/broken.mdl", "models/empty.mdl", "models/garbage.mdl"}) {
        const int  Before = MessagesShown;
        clsAnimate Animator(Name, 1.0);
        EXPECT_EQ(MessagesShown, Before + 1) << Name;
        EXPECT_EQ(LastMessageText, "Couldn't load the model");
        Animator.Update();
        Animator.Update();
        EXPECT_EQ(MessagesShown, Before + 1) << "drawing does not report again";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(Animate, UpdateDrawsThenFollowsTheClockWithoutAnimating) {
    clsAnimate Animator("models/rig.mdl", 1.0);
    GreenFrame();
    WaitForClock(Animator, 0.03f);
    Animator.Update();
    const auto P = Ctx.Pixel(32, 32);
    EXPECT_GT(P[1], 200) << "the quad is drawn through the frustum";
    EXPECT_LT(P[0], 40);
    EXPECT_GE(Animator.LastTime, 0.03f);
    EXPECT_EQ(Animator.Delta, Animator.LastTime) << "the first delta counts from construction";
    const float First = Animator.LastTime;
    WaitForClock(Animator, 0.02f);
    Animator.Update();
    EXPECT_GT(Animator.LastTime, First);
    EXPECT_NEAR(Animator.Delta, Animator.LastTime - First, 1e-6);
    EXPECT_EQ(Animator.Model->Time, 1.0f) << "not animating: the pose of the start frame stays";
    EXPECT_EQ(Animator.Model->Bones[0].Absolute.M[12], -1.0f);
}

TEST_F(Animate, AnimatingAdvancesBySpeedTimesElapsedSeconds) {
    // At 2.5 frames a second the 20 frames of the model last 7.6 s: a stalled machine does not
    // run the animation past its loop.
    clsAnimate Animator("models/rig.mdl", 2.5);
    Animator.Animating = true;
    WaitForClock(Animator, 0.04f);
    Animator.Update();
    ASSERT_GE(Animator.Delta, 0.04f);
    const float Expected = 1.0f + Animator.Delta * 2.5f;
    EXPECT_NEAR(Animator.Model->Time, Expected, 1e-3);
    EXPECT_NEAR(Animator.Model->Bones[0].Absolute.M[12], Expected - 2.0f, 1e-3);
}

// The red bone line lies in the quad's plane and shows only because the depth buffer is
// cleared before the skeleton is drawn.
TEST_F(Animate, RenderDrawsTheSkeletonOnTopWhenAsked) {
    clsAnimate Animator("models/rig.mdl", 1.0);
    GreenFrame();
    Animator.ShowSkeleton = true;
    Animator.Render(*Animator.Model);
    int Red = 0;
    for (int Y : {30, 31, 32, 33})
        for (int X = 20; X < 44; X++) {
            const auto P = Ctx.Pixel(X, Y);
            Red += (P[0] > 200 && P[1] < 40);
        }
    EXPECT_GT(Red, 15) << "the bone line is drawn over the quad";
    EXPECT_GT(Ctx.Pixel(32, 10)[1], 200) << "the quad itself is green";
}

TEST_F(Animate, ViewportResizeEndsWithTheModelsFrustum) {
    FieldOfView = 45.0;
    ResizeViewport(64, 48);
    ExpectFrustumProjection();
    GLint Viewport[4];
    glGetIntegerv(GL_VIEWPORT, Viewport);
    EXPECT_EQ(Viewport[2], 64);
    EXPECT_EQ(Viewport[3], 48);
}
