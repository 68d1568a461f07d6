// Menu drawing for real in a headless context with the game's font sheets: the frame, titles and
// buttons where the table puts them, hover growth, toggle marks, the name field, the colour
// swatch, the cross-fade; value texts; the backdrop and pointer stars.
#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "MenuFixture.h"
#include "menu/MenuDraw.h"
#include "menu/MenuInput.h"
#include "render/OrinGLFont.h"
#include "support/GLContext.h"
#include "support/GameFonts.h"

namespace {

constexpr int W = 640, H = 480;

class MenuDrawing : public MenuFixture {
  protected:
    void SetUp() override {
        MenuFixture::SetUp();
        Ctx = std::make_unique<clsTestGLContext>(W, H);
        if (!Ctx->Ready()) GTEST_SKIP() << "no OpenGL context available (SDL offscreen driver)";
        if (!CreateGeneratedFonts(W, H))
            GTEST_SKIP() << "font sheets not generated in " << TARVIX_DATA_DIR;
        ScreenWidth = W;
        ScreenHeight = H;
        OverlayMode = false;
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        CompileStarList();
    }

    // One menu frame over a mid-grey screen.
    void DrawMenuFrame() {
        glClearColor(0.5f, 0.5f, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawMenu();
        Pixels = Ctx->ReadPixels();
    }

    // The pixel at screen percent (X, Y), y from the top.
    const uint8_t* At(double X, double Y) const {
        const int Px = std::min(W - 1, static_cast<int>(X * W / 100));
        const int Py = std::min(H - 1, static_cast<int>((100 - Y) * H / 100));
        return &Pixels[(Py * W + Px) * 4];
    }

    // Brightest red, green or blue in the screen-percent rectangle.
    int Brightest(double X0, double Y0, double X1, double Y1, int Channel = -1) const {
        int Best = 0;
        for (double Y = Y0; Y < Y1; Y += 100.0 / H)
            for (double X = X0; X < X1; X += 100.0 / W)
                for (int C = 0; C < 3; ++C)
                    if (Channel < 0 || C == Channel)
                        Best = std::max(Best, static_cast<int>(At(X, Y)[C]));
        return Best;
    }

    std::unique_ptr<clsTestGLContext> Ctx;
    std::vector<uint8_t>              Pixels;
};

// Grey 128 under the 0.7-black frame is 38; a 0.4-black box over that 23; a 0.9 one 4.
constexpr int FrameGrey = 38, BoxGrey = 23, HoverGrey = 4;

// The frame with its light green caption above it; the title and the buttons where the table
// puts them, with a gap for "Resume Game" and "End Game" while no game is in progress. Drawing
// leaves the colour white, texturing and depth writes on and the 3D projection set.
TEST_F(MenuDrawing, TheMainPageShowsItsTitleAndButtonsWhereTheTableSaysAndAGapWithoutAGame) {
    DrawMenuFrame();
    EXPECT_NEAR(At(0.5, 50)[0], 128, 2); // outside the frame
    EXPECT_NEAR(At(95, 95)[0], FrameGrey, 2);
    bool Green = false;
    for (double X = 1.5; X < 40 && !Green; X += 0.1)
        for (double Y = 0.5; Y < 1.7 && !Green; Y += 0.1) {
            const uint8_t* P = At(X, Y);
            Green = P[1] > 150 && P[0] < P[1] && P[2] < P[1];
        }
    EXPECT_TRUE(Green) << "the frame's caption";
    GLfloat Colour[4];
    glGetFloatv(GL_CURRENT_COLOR, Colour);
    EXPECT_EQ(Colour[0], 1.0f);
    EXPECT_EQ(Colour[2], 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLboolean Mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &Mask);
    EXPECT_TRUE(Mask);
    EXPECT_FALSE(OverlayMode);
    // "MAIN MENU": nine big cells of 5 units from (20, 2).
    EXPECT_GT(Brightest(20, 2, 65, 7), 150);
    EXPECT_LT(Brightest(66, 2, 80, 7), FrameGrey + 5);
    // The buttons' boxes, and a white caption in each.
    for (double Y : {30.0, 35.0, 40.0, 50.0}) {
        EXPECT_NEAR(At(58, Y + 4.5)[0], BoxGrey, 2) << Y;
        EXPECT_NEAR(At(61, Y + 2.5)[0], FrameGrey, 2) << Y;
        EXPECT_GT(Brightest(31, Y + 1, 45, Y + 3), 150) << Y;
    }
    // No game: neither "Resume Game" nor "End Game" is drawn.
    EXPECT_LT(Brightest(30, 20, 60, 30), FrameGrey + 3);
    EXPECT_NEAR(At(58, 22)[0], FrameGrey, 2);

    GameInProgress = true;
    DrawMenuFrame();
    EXPECT_NEAR(At(58, 22)[0], BoxGrey, 2);
    EXPECT_GT(Brightest(31, 21, 45, 23), 150);
    EXPECT_GT(Brightest(31, 26, 45, 28), 150);
}

TEST_F(MenuDrawing, ATitleTooLongForItsPlaceEndsAtTheRightEdgeAndOthersStayPut) {
    // "GRAPHICS SETTINGS": 17 cells of 5 from x 20 would end at 105; it starts at 15 instead, so
    // its last letter is on the screen.
    MenuPage = PageGraphics;
    DrawMenuFrame();
    EXPECT_GT(Brightest(15, 2.5, 16, 6.5), 150); // the G's left stroke
    EXPECT_GT(Brightest(95.5, 2, 99.5, 7), 150); // the final S
    // "SETTINGS" fits from 20 and starts there, with nothing lit before it.
    MenuPage = PageSettings;
    DrawMenuFrame();
    EXPECT_LT(Brightest(13, 2, 19.8, 7), FrameGrey + 5);
    EXPECT_GT(Brightest(20, 2.5, 21, 6.5), 150);
}

TEST_F(MenuDrawing, AHoveredButtonGrowsByAThirdOnEachSide) {
    MenuItems[6].Hover = true; // "Settings", x 30..60, y 40..45
    DrawMenuFrame();
    EXPECT_NEAR(At(21, 44.5)[0], HoverGrey, 2);
    EXPECT_NEAR(At(69, 44.5)[0], HoverGrey, 2);
    EXPECT_NEAR(At(71, 44.5)[0], FrameGrey, 2);
    EXPECT_NEAR(At(19, 44.5)[0], FrameGrey, 2);
    EXPECT_GT(Brightest(31, 41, 45, 44), 150); // the larger caption starts at the same place
    EXPECT_GT(Brightest(31, 43.2, 45, 43.8), 150) << "size 3 reaches lower";
    EXPECT_LT(Brightest(31, 33.2, 45, 33.8), FrameGrey + 5) << "size 2 beside it does not";
}

TEST_F(MenuDrawing, ThePlayerEntryHasNoBoxDuringAGame) {
    MenuPage = PageSettings;
    MenuItems[15].Hover = true;
    DrawMenuFrame();
    EXPECT_NEAR(At(22, 49.5)[0], HoverGrey, 2);
    GameInProgress = true;
    DrawMenuFrame();
    EXPECT_NEAR(At(22, 49.5)[0], FrameGrey, 2);
    EXPECT_NEAR(At(58, 49.5)[0], FrameGrey, 2);
    EXPECT_GT(Brightest(31, 46, 40, 48), 150);
    EXPECT_LT(Brightest(31, 48.5, 40, 49.5), FrameGrey + 5); // size 2, not the hover's 3
}

TEST_F(MenuDrawing, TogglesShowARedMarkWhileTheirFlagIsOn) {
    MenuPage = PageOther;
    ShowLog = true;
    ShowRadar = false;
    DrawMenuFrame();
    const uint8_t* Mark = At(24, 22.5); // "Show Log Window": mark x 23..25, y 22..23
    EXPECT_GT(Mark[0], 200);
    EXPECT_LT(Mark[1], 20);
    EXPECT_LT(At(24, 27.5)[0], 60); // "Show Radar" off: only the dark switch box
    EXPECT_LT(At(22.5, 27.5)[0], FrameGrey);
}

TEST_F(MenuDrawing, TheNameFieldFollowsTheNameAndTheSwatchShowsTheColour) {
    MenuPage = PagePlayer;
    Actors[0].Name = "";
    Actors[0].ColorR = 1;
    Actors[0].ColorG = 0.5;
    Actors[0].ColorB = 0;
    DrawMenuFrame();
    EXPECT_EQ(MenuItems[44].Width, 14);
    PointAt(43.9f, 42);
    EXPECT_EQ(MenuHitTest(), 44);
    PointAt(44.1f, 42);
    EXPECT_EQ(MenuHitTest(), -1);
    Actors[0].Name = std::string(20, 'W');
    DrawMenuFrame();
    EXPECT_EQ(MenuItems[44].Width, 54);
    EXPECT_NEAR(At(83, 44.5)[0], BoxGrey, 2); // both boxes are 54 wide now
    EXPECT_NEAR(At(83, 34.5)[0], BoxGrey, 2);
    const uint8_t* Swatch = At(50, 33); // x 45..55, y 31.5..34
    EXPECT_GT(Swatch[0], 240);
    EXPECT_NEAR(Swatch[1], 128, 2);
    EXPECT_LT(Swatch[2], 20);
}

TEST_F(MenuDrawing, ValueLabelsPrintAboveTheirPlaceAndNothingOutOfRange) {
    MenuPage = PageGraphics;
    DetailLevel = 2;
    DrawMenuFrame();
    EXPECT_GT(Brightest(23, 22, 40, 24), 150); // "Medium Detail" 3 above Y 25
    DetailLevel = 0;
    DrawMenuFrame();
    EXPECT_LT(Brightest(23, 22, 40, 24), FrameGrey + 3);
    DetailLevel = 2;
}

TEST_F(MenuDrawing, APageChangeCrossFadesInPointFourSeconds) {
    DrawMenuFrame();
    ChangeMenuPage(PageSettings);
    SpeedFactor = 10; // a fifth of a second: halfway
    DrawMenuFrame();
    EXPECT_NEAR(MenuTransition, 0.5, 1e-9);
    SpeedFactor = 4;
    DrawMenuFrame(); // both pages at about half opacity
    EXPECT_NEAR(MenuTransition, 0.3, 1e-9);
    // Faint text is also narrow: the fading "Single Player" reaches x 44 where the incoming
    // "Graphics" ends near 40. "Back" at y 60 belongs to the settings page only.
    EXPECT_GT(Brightest(41, 31, 44, 32), FrameGrey + 20);
    EXPECT_LT(At(58, 64.5)[0], FrameGrey - 4);
    EXPECT_GT(At(58, 64.5)[0], BoxGrey + 4);
    EXPECT_GT(Brightest(31, 61, 40, 63), FrameGrey + 20);
    PointAt(31, 62);
    EXPECT_EQ(MenuHitTest(), -1); // no clicks while fading
    SpeedFactor = 1;
    for (int Frame = 0; Frame < 6; ++Frame)
        DrawMenuFrame();
    EXPECT_NEAR(MenuTransition, 0.0, 1e-12);
    DrawMenuFrame(); // a value that overshot below 0 is set to 0 by the next frame
    EXPECT_EQ(MenuTransition, 0.0);
    EXPECT_EQ(MenuHitTest(), 18);
    EXPECT_LT(Brightest(60, 2, 65, 7), FrameGrey + 3); // the ninth cell of "MAIN MENU" is gone
    EXPECT_NEAR(At(58, 64.5)[0], BoxGrey, 2);
}

TEST_F(MenuDrawing, TheAnisotropyStepAsksTheDriver) {
    GLfloat Driver = 0;
    glGetFloatv(0x84FF, &Driver); // GL_MAX_TEXTURE_MAX_ANISOTROPY
    while (glGetError() != GL_NO_ERROR) {
    }
    Anisotropy = 0;
    MaxAnisotropy = 0;
    for (int I = 0; I < static_cast<int>(Driver) + 3; ++I)
        MenuAction(27);
    EXPECT_EQ(MaxAnisotropy, Driver);
    EXPECT_EQ(Anisotropy, Driver);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (int I = 0; I < static_cast<int>(Driver) + 3; ++I)
        MenuAction(28);
    EXPECT_EQ(Anisotropy, 0.0f);
}

// --- value texts, no drawing needed ---

TEST(ValueLabels, SayWhatTheSettingIs) {
    DetailLevel = 3;
    EXPECT_EQ(ValueLabelText("Detail"), "High Detail");
    DetailLevel = 4;
    EXPECT_EQ(ValueLabelText("Detail"), "");
    DetailLevel = 2;
    const char* const Modes[] = {"",
                                 "Resolution: 640x480",
                                 "Resolution: 800x600",
                                 "Resolution: 1024x768",
                                 "Resolution: 1280x1024",
                                 "Resolution: 1280x800 (wide)",
                                 ""};
    for (int32_t Mode = 0; Mode <= 6; ++Mode) {
        ResolutionWanted = Mode;
        EXPECT_EQ(ValueLabelText("Resolution"), Modes[Mode]);
    }
    ResolutionWanted = 2;
    Anisotropy = 0.9f;
    EXPECT_EQ(ValueLabelText("Anisotropic"), "Anisotropic Filtering: OFF");
    Anisotropy = 4;
    EXPECT_EQ(ValueLabelText("Anisotropic"), "Anisotropic Filtering: 4x");
    Anisotropy = 0;
    SoundVolume = 55;
    EXPECT_EQ(ValueLabelText("Volume"), "Volume:55");
    ArenaTanks = 3, ArenaTurrets = 4, ArenaBonus = 5, ArenaStartEnergy = 120, ArenaMaxShots = 6;
    EXPECT_EQ(ValueLabelText("ia_tanks"), "Enemy Tanks:3");
    EXPECT_EQ(ValueLabelText("ia_turrets"), "Enemy Turrets:4");
    EXPECT_EQ(ValueLabelText("ia_bonus"), "Bonus Items:5");
    EXPECT_EQ(ValueLabelText("ia_start_energy"), "Energy:120");
    EXPECT_EQ(ValueLabelText("ia_max_shots"), "Max Shots:6");
    EXPECT_EQ(ValueLabelText("Color"), "");
}

// --- the star layers ---

using Stars = MenuDrawing;

TEST_F(Stars, TheBackdropIsSeededRisesSwervesAndRespawns) {
    SeedMenuBackdrop();
    for (const BackdropStar& S : MenuBackdrop) {
        EXPECT_GE(S.X, 3);
        EXPECT_LT(S.X, 13);
        EXPECT_GE(S.Y, 0);
        EXPECT_LT(S.Y, 100);
        EXPECT_GE(S.VY, 0.4f);
        EXPECT_LT(S.VY, 0.6f);
        EXPECT_GE(S.Blue, 0.5f);
        EXPECT_LT(S.Blue, 1.0f);
        EXPECT_EQ(S.VX, 0);
        EXPECT_EQ(S.Angle, 0);
        EXPECT_EQ(S.Red, 0);
        EXPECT_EQ(S.Green, 0);
    }
    BackdropStar& Swerving = MenuBackdrop[0];
    BackdropStar& Leaving = MenuBackdrop[1];
    BackdropStar& Plain = MenuBackdrop[2];
    Swerving = {5, 45, 0, 0.5f, 3, 0, 0, 0, 1};
    Leaving = {101, 50, 0, 0.5f, 3, 0, 0, 0, 1};
    Plain = {5, 20, 2, 0.5f, 3, 0, 0, 0, 1};
    HoverItemY = 40; // the band 40 < y < 50 in the overlay, just below the hovered item
    SpeedFactor = 2;
    DrawMenuBackdrop();
    EXPECT_FLOAT_EQ(Swerving.Y, 46);
    EXPECT_FLOAT_EQ(Swerving.VX, 6);
    EXPECT_FLOAT_EQ(Swerving.Angle, 5);
    EXPECT_FLOAT_EQ(Plain.X, 5.04f);
    EXPECT_FLOAT_EQ(Plain.VX, 2);
    EXPECT_EQ(Leaving.Y, -10);
    EXPECT_GE(Leaving.X, 3);
    EXPECT_LT(Leaving.X, 13);
    EXPECT_EQ(Leaving.VX, 0);
    EXPECT_GE(Leaving.Blue, 0);
    EXPECT_LT(Leaving.Blue, 1);
}

TEST_F(Stars, BurstsAndTrailsFlyFallBounceAndLiveOneSecond) {
    SpawnPointerStars(30, true, 50, 50);
    SpawnPointerStars(30, false, 50, 50);
    ASSERT_EQ(CountPointerStars(), 60);
    for (int I = 0; I < 30; ++I) {
        EXPECT_GE(PointerStars[I].VX, -1);
        EXPECT_LT(PointerStars[I].VX, 1);
        EXPECT_GE(PointerStars[I].VY, -1);
        EXPECT_LT(PointerStars[I].VY, 1);
        EXPECT_GE(PointerStars[I + 30].VX, -0.005f);
        EXPECT_LT(PointerStars[I + 30].VX, 0.005f);
        EXPECT_GE(PointerStars[I + 30].VY, -0.1f);
        EXPECT_LT(PointerStars[I + 30].VY, 0.1f);
        EXPECT_GE(PointerStars[I].Blue, 0.8f);
        EXPECT_EQ(PointerStars[I].Life, 1.0f);
    }
    PointerStar& Edge = PointerStars[0];
    Edge = {0.5f, 50, -1, 0, 1, 0, 0, 0, 1};
    SpeedFactor = 1;
    DrawPointerStars();
    EXPECT_EQ(Edge.X, 0); // bounced off the left edge
    EXPECT_EQ(Edge.VX, 1);
    EXPECT_FLOAT_EQ(Edge.VY, -0.1f);
    EXPECT_FLOAT_EQ(Edge.Life, 0.98f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    for (int Frame = 1; Frame < 48; ++Frame)
        DrawPointerStars();
    EXPECT_EQ(CountPointerStars(), 60);
    for (int Frame = 48; Frame < 52; ++Frame)
        DrawPointerStars();
    EXPECT_EQ(CountPointerStars(), 0);
}

} // namespace
