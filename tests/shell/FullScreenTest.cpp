// Full screen over the desktop: the picture keeps the mode's shape between black bars, and
// pointer positions map back through the same scaling.
#include "platform/Png.h"
#include "shell/App.h"
#include "shell/Events.h"
#include "shell/Input.h"
#include "shell/PictureBuffer.h"
#include "shell/Screenshot.h"
#include "shell/Window.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"

#include "ShellHelpers.h"

#include <SDL_opengl.h>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// An overlay rectangle in screen percent, y from the top as the game gives panel positions.
void PercentQuad(double X0, double Y0, double X1, double Y1, float R, float G) {
    glColor3f(R, G, 0.0f);
    glBegin(GL_QUADS);
    glVertex2d(X0, 100.0 - Y1);
    glVertex2d(X1, 100.0 - Y1);
    glVertex2d(X1, 100.0 - Y0);
    glVertex2d(X0, 100.0 - Y0);
    glEnd();
}

// A red picture with one green rectangle in it (percent, y from the top), drawn in the overlay
// projection over a cleared black screen.
void DrawRedPictureWithGreen(double X0, double Y0, double X1, double Y1) {
    OverlayMode = false;
    SetOverlayMode(true);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    PercentQuad(0, 0, 100, 100, 1, 0);
    PercentQuad(X0, Y0, X1, Y1, 0, 1);
    SetOverlayMode(false);
}

class ScaledPicture : public ::testing::Test {
  protected:
    void TearDown() override {
        PictureScaled = false;
        HandleEvent(ButtonEvent(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 0, 0));
    }
};

} // namespace

TEST(FitPicture, KeepsTheShapeAndCentresIt) {
    const auto Fit = [](int32_t OuterW, int32_t OuterH, int32_t W, int32_t H) {
        const PictureRect R = FitPicture(OuterW, OuterH, W, H);
        return std::tuple(R.X, R.Y, R.Width, R.Height);
    };
    EXPECT_EQ(Fit(1920, 1080, 800, 600),
              std::tuple(240, 0, 1440, 1080)); // 4:3 on 16:9: bars at the sides
    EXPECT_EQ(Fit(1280, 1024, 1280, 800),
              std::tuple(0, 112, 1280, 800)); // the wide mode: bars above and below
    EXPECT_EQ(Fit(1024, 768, 640, 480), std::tuple(0, 0, 1024, 768));
    // Never larger than the screen.
    EXPECT_EQ(Fit(1366, 768, 1280, 1024), std::tuple(203, 0, 960, 768));
}

// A 640 x 480 mode on a 320 x 180 screen: a 240 x 180 picture from x = 40, black at the sides.
TEST_F(ScaledPicture, DrawsBetweenBlackBarsAndMapsThePointer) {
    clsTestGLContext Ctx(320, 180);
    REQUIRE_GL(Ctx);
    FieldOfView = 45.0;
    ScreenWidth = 640;
    ScreenHeight = 480;
    PictureScaled = true;
    ResizeViewport(320, 180);
    EXPECT_EQ(Picture.X, 40);
    EXPECT_EQ(Picture.Width, 240);
    RadarPanelX = 1.0;
    RadarPanelY = 75.5;
    DrawRedPictureWithGreen(RadarPanelX, RadarPanelY, RadarPanelX + RadarPanelWidth,
                            RadarPanelY + RadarPanelHeight);

    EXPECT_TRUE(IsBlack(Ctx.Pixel(20, 90))) << "left bar";
    EXPECT_TRUE(IsBlack(Ctx.Pixel(300, 90))) << "right bar";
    EXPECT_TRUE(IsRed(Ctx.Pixel(45, 170))) << "picture's top-left";
    EXPECT_TRUE(IsRed(Ctx.Pixel(275, 90))) << "picture's right edge";
    // The radar's square, 1..23 % across and 75.5..97.5 % down, lands at x 42..95, y from the top
    // 136..175.
    const int RadarX = 40 + int(12.0 / 100 * 240);
    const int RadarYFromTop = int(86.0 / 100 * 180);
    EXPECT_TRUE(IsGreen(Ctx.Pixel(RadarX, 180 - 1 - RadarYFromTop)));

    // The pointer over those pixels is over the panel: percent and pixels of the mode.
    HandleEvent(MotionEvent(RadarX, RadarYFromTop));
    UpdatePointer();
    EXPECT_NEAR(MousePctX, 12.0, 0.5);
    EXPECT_NEAR(MousePctY, 86.0, 0.6);
    HandleEvent(MotionEvent(40, 0));
    UpdatePointer();
    EXPECT_NEAR(RawMouseX, 0.0f, 0.01f);
    EXPECT_NEAR(MousePctY, 0.0f, 0.01f);
    HandleEvent(MotionEvent(280, 180));
    UpdatePointer();
    EXPECT_NEAR(RawMouseX, 640.0f, 0.01f);
    EXPECT_NEAR(MousePctY, 100.0f, 0.01f);

    // A press there grabs the radar.
    ShowRadar = true;
    ShowLog = ShowCompass = false;
    PointerTimer = 30.0;
    HandleEvent(ButtonEvent(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, RadarX, RadarYFromTop));
    EXPECT_EQ(DragPanel, 3);
    EXPECT_EQ(ClickX, (RadarX - 40) * 640 / 240);
    EXPECT_EQ(ClickY, RadarYFromTop * 480 / 180);
}

TEST_F(ScaledPicture, AWindowKeepsPixelsAsTheyAre) {
    clsTestGLContext Ctx(320, 180);
    REQUIRE_GL(Ctx);
    ScreenWidth = 640;
    ScreenHeight = 480;
    PictureScaled = false;
    ResizeViewport(320, 180);
    EXPECT_EQ(Picture.X, 0);
    EXPECT_EQ(Picture.Width, 320);
    EXPECT_EQ(Picture.Height, 180);
    HandleEvent(MotionEvent(160, 90));
    UpdatePointer();
    EXPECT_FLOAT_EQ(RawMouseX, 160.0f);
    EXPECT_FLOAT_EQ(MousePctX, 25.0f) << "percent of the mode, as the window always did";
}

// With framebuffer objects the picture is drawn whole at the mode's size (64 x 48 here) and the
// swap shows it scaled into the 240 x 180 middle of a 320 x 180 screen; a screenshot holds the
// picture as drawn.
TEST_F(ScaledPicture, TheOffScreenPictureIsDrawnAtTheModeSizeAndShownScaled) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    clsTestGLContext Ctx(320, 180);
    REQUIRE_GL(Ctx);
    FieldOfView = 45.0;
    ScreenWidth = 64;
    ScreenHeight = 48;
    PictureScaled = true;
    if (!OpenPictureBuffer(64, 48)) GTEST_SKIP() << "no framebuffer objects in this driver";
    ResizeViewport(320, 180);
    GLint Viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, Viewport);
    EXPECT_EQ(Viewport[2], 64);
    EXPECT_EQ(Viewport[3], 48);
    DrawRedPictureWithGreen(0, 0, 50, 50); // the top-left quarter green

    const std::string    Shot = TakeScreenshot();
    int32_t              W = 0, H = 0;
    std::vector<uint8_t> Rgb;
    ASSERT_TRUE(ReadPng(Shot, W, H, Rgb));
    EXPECT_EQ(W, 64);
    EXPECT_EQ(H, 48);
    EXPECT_GT(Rgb[1], 200) << "top-left green";
    EXPECT_GT(Rgb[(size_t(47) * 64 + 63) * 3], 200) << "bottom-right red";

    ShowPictureBuffer(Picture, WindowPixelHeight);
    ClosePictureBuffer(); // reads below come from the window
    EXPECT_TRUE(IsBlack(Ctx.Pixel(20, 90))) << "left bar";
    EXPECT_TRUE(IsBlack(Ctx.Pixel(300, 90))) << "right bar";
    EXPECT_TRUE(IsGreen(Ctx.Pixel(50, 170))) << "the picture's top-left, scaled";
    EXPECT_TRUE(IsRed(Ctx.Pixel(270, 10))) << "the picture's bottom-right, scaled";
    EXPECT_TRUE(IsRed(Ctx.Pixel(150, 60)));
}
