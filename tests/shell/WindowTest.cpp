// The window and context: display-mode changes, the fixed GL state, the viewport and the two
// projections, drawn into a headless context and read back.
#include "shell/Window.h"
#include "menu/Menu.h"
#include "menu/MenuInput.h"
#include "platform/Platform.h"
#include "render/Textures.h"
#include "shell/App.h"
#include "shell/Events.h"
#include "shell/GameEntry.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"
#include "world/Setup.h"
#include "world/World.h"

#include "ShellHelpers.h"

#include <SDL_opengl.h>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

void ProjectionMatrix(GLfloat M[16]) {
    glGetFloatv(GL_PROJECTION_MATRIX, M);
}

void Quad(float X0, float Y0, float X1, float Y1, float Z) {
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex3f(X0, Y0, Z);
    glVertex3f(X1, Y0, Z);
    glVertex3f(X1, Y1, Z);
    glVertex3f(X0, Y1, Z);
    glEnd();
}

// A driver that cannot make a context at 1024 x 768 but can at every other size.
void* RefuseContextAt1024(SDL_Window* Window) {
    int W = 0, H = 0;
    SDL_GetWindowSize(Window, &W, &H);
    return W == 1024 ? nullptr : SDL_GL_CreateContext(Window);
}

// A real window on SDL's offscreen driver, opened as the first start opens it; on leaving, the
// window globals are back as a first start finds them, whatever the test left behind.
class DisplayMode : public ::testing::Test {
  protected:
    void TearDown() override {
        MakeRenderContext = SDL_GL_CreateContext;
        DestroyMainWindow(true);
        WindowedOption = false;
        FirstStart = true;
        ResolutionApplied = 0;
        QuitRequested = false;
    }
    // Opens the window at display mode 2 (800 x 600); false when this machine has none.
    static bool OpenFirstWindow() {
        ResolutionApplied = 0;
        FirstStart = true;
        FieldOfView = 45.0;
        WindowedOption = true;
        QuitRequested = false;
        ChangeDisplayMode(2);
        return WindowHandle != nullptr;
    }
    static void ExpectWindowSize(int Width, int Height) {
        int W = 0, H = 0;
        SDL_GetWindowSize(WindowHandle, &W, &H);
        EXPECT_EQ(W, Width);
        EXPECT_EQ(H, Height);
    }
};

} // namespace

// The mode's size; the number already applied changes nothing, not even the window; a number
// outside 1..5 reopens at the previous size; the close releases everything, and a second close
// finds nothing left.
TEST_F(DisplayMode, OpensAtTheModeSizeAndKeepsItForTheSameOrAnUnknownNumber) {
    if (!OpenFirstWindow()) GTEST_SKIP() << "no window on this machine: " << LastMessageText;
    EXPECT_EQ(ScreenWidth, 800);
    EXPECT_EQ(ScreenHeight, 600);
    EXPECT_EQ(ResolutionApplied, 2);
    EXPECT_TRUE(GLReady);
    EXPECT_TRUE(GLExtensionsReady);
    GLint Depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &Depth);
    EXPECT_GE(Depth, 16);
    ExpectWindowSize(800, 600);

    FirstStart = false;
    SDL_Window* const Window = WindowHandle;
    void* const       Context = RenderContext;
    const int         Shown = MessagesShown;
    ChangeDisplayMode(2);
    EXPECT_EQ(WindowHandle, Window) << "the same mode: the window is not reopened";
    EXPECT_EQ(RenderContext, Context);
    EXPECT_EQ(MessagesShown, Shown);

    ChangeDisplayMode(9);
    ASSERT_NE(WindowHandle, nullptr);
    EXPECT_EQ(ResolutionApplied, 9);
    EXPECT_EQ(ScreenWidth, 800);
    ExpectWindowSize(800, 600);

    DestroyMainWindow(true);
    EXPECT_EQ(WindowHandle, nullptr);
    EXPECT_EQ(RenderContext, nullptr);
    EXPECT_FALSE(GLReady);
    DestroyMainWindow(true);
}

// A resolution change from the menu whose context cannot be made: the error is shown and the
// game goes on in the mode it had, in a working context with its textures; the menu shows that
// mode again. When no mode opens at all, the program is told to end, with no window left.
TEST_F(DisplayMode, AFailedChangeFallsBackToTheModeBefore) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    Temp.LinkGameData(TARVIX_DATA_DIR);
    if (!OpenFirstWindow()) GTEST_SKIP() << "no window on this machine: " << LastMessageText;
    FirstStart = false;

    ResolutionWanted = 3;
    MakeRenderContext = RefuseContextAt1024;
    const int Shown = MessagesShown;
    ChangeDisplayMode(3);
    EXPECT_EQ(MessagesShown, Shown + 1) << "one message, and the textures loaded without any";
    EXPECT_EQ(LastMessageCaption, "Error");
    EXPECT_EQ(LastMessageText, "Unable to create an OpenGL rendering context");
    ASSERT_NE(WindowHandle, nullptr);
    ASSERT_NE(RenderContext, nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), RenderContext);
    ExpectWindowSize(800, 600);
    EXPECT_EQ(ScreenWidth, 800);
    EXPECT_EQ(ScreenHeight, 600);
    EXPECT_EQ(ResolutionApplied, 2);
    EXPECT_EQ(ResolutionWanted, 2);
    EXPECT_FALSE(QuitRequested);
    EXPECT_TRUE(GLReady);
    EXPECT_TRUE(glIsTexture(TexFloor)) << "the textures are loaded into the new context";
    GLint View[4];
    glGetIntegerv(GL_VIEWPORT, View);
    EXPECT_EQ(View[2], 800);
    EXPECT_EQ(View[3], 600);

    // The video layer itself cannot come back: neither mode opens, and the loop is to end.
    const std::string Driver = std::getenv("SDL_VIDEODRIVER") ? std::getenv("SDL_VIDEODRIVER") : "";
    setenv("SDL_VIDEODRIVER", "tarvix-no-such-driver", 1);
    ChangeDisplayMode(3);
    if (Driver.empty())
        unsetenv("SDL_VIDEODRIVER");
    else
        setenv("SDL_VIDEODRIVER", Driver.c_str(), 1);
    EXPECT_EQ(WindowHandle, nullptr);
    EXPECT_EQ(RenderContext, nullptr);
    EXPECT_TRUE(QuitRequested);
    EXPECT_EQ(LastMessageCaption, "Error");
}

// Resume after a resolution change: the window rebuild and the setup are loading, not game
// time, so the first battle frame moves by one frame's time, however long they took.
TEST_F(DisplayMode, ResumeAfterAResolutionChangeStartsWithOneFrame) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    Temp.LinkGameData(TARVIX_DATA_DIR);
    if (!OpenFirstWindow()) GTEST_SKIP() << "no window on this machine: " << LastMessageText;
    NextMenuItem = 1; // the menu tree is built by the first start this test runs
    NewGameRequested = 1;
    GameState = 0;
    GameSetup();
    ASSERT_EQ(GameState, 1);
    GameInProgress = true;
    ResolutionWanted = 3;
    AdvanceFrameClock(); // a menu frame
    // However fast this machine rebuilds, the last frame before the resume lies a second back.
    LastFrameTime -= 1.0f;
    EnterGame(false);
    EXPECT_EQ(GameState, 2);
    EXPECT_EQ(ScreenWidth, 1024);
    EXPECT_EQ(ResolutionApplied, 3);
    AdvanceFrameClock();
    EXPECT_LT(SpeedFactor, 25.0f) << "the first battle frame jumps by the loading time";
    EXPECT_GE(SpeedFactor, 0.0f);
    GameInProgress = false;
    GameState = 0;
}

TEST(GLState, InitGLState) {
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    glDisable(GL_DEPTH_TEST);
    glClearColor(1, 1, 1, 1);
    InitGLState();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint Func = 0, Shade = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &Func);
    glGetIntegerv(GL_SHADE_MODEL, &Shade);
    EXPECT_EQ(Func, GL_LESS);
    EXPECT_EQ(Shade, GL_SMOOTH);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(IsBlack(Ctx.Pixel(10, 10)));
}

// The two projections in a 200 x 100 mode. Overlay coordinates run 0..100 both ways with y
// from the bottom: a quad over the lower left quarter fills exactly that quarter of the pixels.
// The perspective takes the mode's aspect. Asking for the projection already set touches
// nothing, not even the matrix mode.
TEST(Projection, OverlayPerspectiveAndTheSameModeAgain) {
    clsTestGLContext Ctx(200, 100);
    REQUIRE_GL(Ctx);
    FieldOfView = 90.0; // tan(45) = 1: a point at depth d and height d lands on the top edge
    ScreenWidth = 200;
    ScreenHeight = 100;
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    OverlayMode = false;
    SetOverlayMode(true);
    EXPECT_TRUE(OverlayMode);
    GLint Mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &Mode);
    EXPECT_EQ(Mode, GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT);
    Quad(0.0f, 0.0f, 50.0f, 50.0f, -0.5f);
    EXPECT_TRUE(IsRed(Ctx.Pixel(5, 5)));
    EXPECT_TRUE(IsRed(Ctx.Pixel(95, 45)));
    EXPECT_TRUE(IsBlack(Ctx.Pixel(105, 45)));
    EXPECT_TRUE(IsBlack(Ctx.Pixel(95, 55)));

    SetOverlayMode(false);
    EXPECT_FALSE(OverlayMode);
    GLfloat M[16];
    ProjectionMatrix(M);
    EXPECT_NEAR(M[5], 1.0f, 1e-5f);
    EXPECT_NEAR(M[0], 0.5f, 1e-5f); // 1 / aspect
    glClear(GL_COLOR_BUFFER_BIT);
    // At depth 10 the view spans y -10..10 and x -20..20: this quad covers the right half.
    Quad(0.0f, -10.0f, 20.0f, 10.0f, -10.0f);
    EXPECT_TRUE(IsRed(Ctx.Pixel(105, 50)));
    EXPECT_TRUE(IsRed(Ctx.Pixel(195, 95)));
    EXPECT_TRUE(IsBlack(Ctx.Pixel(95, 50)));

    glMatrixMode(GL_PROJECTION);
    glScalef(3.0f, 3.0f, 3.0f);
    SetOverlayMode(false);
    ProjectionMatrix(M);
    EXPECT_NEAR(M[0], 1.5f, 1e-5f);
    glGetIntegerv(GL_MATRIX_MODE, &Mode);
    EXPECT_EQ(Mode, GL_PROJECTION);
    glMatrixMode(GL_MODELVIEW);
}

TEST(Viewport, ZeroHeightIsTakenAsOne) {
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    FieldOfView = 45.0;
    ResizeViewport(300, 0);
    GLint View[4];
    glGetIntegerv(GL_VIEWPORT, View);
    EXPECT_EQ(View[0], 0);
    EXPECT_EQ(View[1], 0);
    EXPECT_EQ(View[2], 300);
    EXPECT_EQ(View[3], 1);
    GLfloat M[16];
    ProjectionMatrix(M);
    for (GLfloat V : M)
        EXPECT_TRUE(std::isfinite(V));
    ResizeViewport(64, 64);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Quad(-0.5f, -0.5f, 0.5f, 0.5f, -2.0f);
    EXPECT_TRUE(IsRed(Ctx.Pixel(32, 32))) << "the viewport covers the window again";
    EXPECT_TRUE(IsBlack(Ctx.Pixel(2, 2)));
}

// A size change reaches the viewport only once the GL entry points are ready.
TEST(Viewport, ResizeEventsFollowTheReadinessFlags) {
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    FieldOfView = 45.0;
    const SDL_Event E = WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 40, 30);
    GLReady = false;
    GLExtensionsReady = false;
    glViewport(0, 0, 64, 64);
    HandleEvent(E);
    GLint View[4];
    glGetIntegerv(GL_VIEWPORT, View);
    EXPECT_EQ(View[2], 64);
    GLReady = true;
    HandleEvent(E);
    glGetIntegerv(GL_VIEWPORT, View);
    EXPECT_EQ(View[2], 64) << "the extension flag is needed as well";
    GLExtensionsReady = true;
    HandleEvent(E);
    glGetIntegerv(GL_VIEWPORT, View);
    EXPECT_EQ(View[2], 40);
    EXPECT_EQ(View[3], 30);
    GLReady = false;
    GLExtensionsReady = false;
}
