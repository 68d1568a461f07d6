// The heads-up display and the pointer, drawn into a real context and read back. The fonts get
// a plain white sheet, so every glyph is a solid cell in the font's colour.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <set>

#include "platform/Numbers.h"
#include "render/Hud.h"
#include "render/OrinGLFont.h"
#include "render/Textures.h"
#include "shell/Window.h"
#include "support/BattleFixture.h"
#include "support/GLContext.h"

namespace {

constexpr int Side = 500; // pixels; 5 per overlay unit

void FlatFont(OrinGLF& Font, const char* CharSet, int Columns, int Rows, double Size,
              GLuint Sheet) {
    Font = OrinGLF{};
    Font.CharSet = CharSet;
    Font.Columns = Columns;
    Font.Rows = Rows;
    Font.Size = Size;
    Font.Texture = Sheet;
    Font.Red = Font.Green = Font.Blue = 1.0;
    Font.Loaded = true;
    SetViewport(Font, Side, Side);
}

class HudTest : public ::testing::Test {
  protected:
    clsTestGLContext Ctx{Side, Side};

    void SetUp() override {
        ResetBattleWorld(0, 0, 0);
        ScreenWidth = Side;
        ScreenHeight = Side;
        FieldOfView = 45.0;
        OverlayMode = false;
        ShowLog = ShowCompass = ShowRadar = ShowHelp = ShowFPS = ShowCrosshairs = false;
        SetPanelStartPositions();
        TargetSlot = 0;
        REQUIRE_GL(Ctx);
        const GLuint White = PlainTexture(255, 255, 255);
        FlatFont(SmallFont, SmallFontCharSet, 14, 7, 1.0, White);
        FlatFont(BigFont, BigFontCharSet, 6, 7, 1.5, White);
        TexPointer = White;
        TexNoise1 = PlainTexture(255, 0, 0);
        TexNoise2 = PlainTexture(0, 255, 0);
        TexNoise3 = PlainTexture(0, 0, 255);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
    }

    // One frame of the display over a plain background.
    void Frame(float Background = 0.0f) {
        glClearColor(Background, Background, Background, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1, 1, 1);
        DrawHud();
    }

    // The pixel at overlay x from the left and y from the top, in percent.
    std::vector<uint8_t> At(double X, double Y) const {
        return Ctx.Pixel(int(X * Side / 100), int((100 - Y) * Side / 100));
    }
};

bool Dark(const std::vector<uint8_t>& P) {
    return P[0] < 20 && P[1] < 20 && P[2] < 20;
}

TEST(HudMapping, RadarFillsItsSquareWithTheArena) {
    ArenaScale = 10;
    EXPECT_DOUBLE_EQ(RadarPointX(500), 20.0);
    EXPECT_DOUBLE_EQ(RadarPointY(0), -10.0);
    EXPECT_DOUBLE_EQ(RadarPointX(-500), 0.0);
    EXPECT_DOUBLE_EQ(RadarPointY(-500), 0.0);
    EXPECT_DOUBLE_EQ(RadarPointY(500), -20.0);
}

TEST(HudMapping, TextLines) {
    EXPECT_EQ(EnergyScoreText(24, -5), "Energy:24  Score:-5");
    EXPECT_EQ(ReloadText(4.7), "RELOADING...4");
    EXPECT_EQ(ReloadText(0.3), "RELOADING...0");
    // The title is printed with the big font, which has capitals, digits and a few signs only.
    for (const char C : std::string(HelpTitleLine))
        EXPECT_TRUE(C == ' ' || std::string(BigFontCharSet).find(C) != std::string::npos) << C;
    EXPECT_NE(std::string(HelpTitleLine).find("TARVIX"), std::string::npos);
    EXPECT_NE(std::string(HelpTitleLine).find("2004"), std::string::npos);
}

TEST(HudMapping, HighestSlotInTheLineOfFireIsTheTarget) {
    ResetBattleWorld(0, 0, 30);
    // Heading 30 faces (-0.5, -0.866): both tanks stand straight ahead.
    PlaceTank(3, -50.0f, -86.60254f, 0);
    PlaceTank(8, -75.0f, -129.90381f, 0);
    std::string Text;
    EXPECT_EQ(FindTarget(Text), 8);
    EXPECT_EQ(Text, "Enemy tank 8-Energy: 100");
    Actors[8].Energy = 0;
    EXPECT_EQ(FindTarget(Text), 3);
    Actors[3].Energy = 0;
    EXPECT_EQ(FindTarget(Text), 0);
    EXPECT_TRUE(Text.empty());
    // A full custom arena's last slot can be the target too.
    PlaceTank(150, -25.0f, -43.30127f, 0);
    EXPECT_EQ(FindTarget(Text), 150);
}

// The crosshair sits at the centre in the cockpit view and 20 higher in the chase views, white
// and half transparent; it turns red and names the actor in the line of fire.
TEST_F(HudTest, CrosshairSitsAtTheCentreOnlyInTheCockpitAndTurnsRedOnATarget) {
    ShowCrosshairs = true;
    CameraMode = 1;
    Frame();
    // The lower wedge, one unit below the centre; half-transparent white on black.
    EXPECT_NEAR(At(50, 51)[0], 128, 3);
    EXPECT_TRUE(Dark(At(50, 31)));
    CameraMode = 3;
    Frame();
    EXPECT_NEAR(At(50, 31)[0], 128, 3);
    EXPECT_NEAR(At(50, 31)[1], 128, 3);
    EXPECT_TRUE(Dark(At(50, 51)));
    EXPECT_EQ(TargetSlot, 0);

    Actors[0].Heading = 30;
    PlaceTank(4, -50.0f, -86.60254f, 0);
    Frame();
    EXPECT_EQ(TargetSlot, 4);
    const auto P = At(50, 31);
    EXPECT_NEAR(P[0], 128, 3);
    EXPECT_NEAR(P[1], 38, 3);
    // The target text starts at x 55, in the red of the read-out, at size 1.4.
    const auto T = At(55.5, 29.5);
    EXPECT_EQ(T[0], 255);
    EXPECT_NEAR(T[1], 77, 2);
    EXPECT_DOUBLE_EQ(SmallFont.Size, 1.4);
}

TEST_F(HudTest, EnergyLineIsCyanFromTwentyFiveAndFlickersRedBelow) {
    Actors[0].Energy = 25;
    Frame();
    const auto Cyan = At(0.5, 16.5);
    EXPECT_EQ(Cyan[0], 0);
    EXPECT_EQ(Cyan[1], 255);
    EXPECT_EQ(Cyan[2], 255);
    Actors[0].Energy = 24;
    std::set<int> Reds;
    for (int f = 0; f < 10; ++f) {
        Frame();
        const auto Red = At(0.5, 16.5);
        EXPECT_GE(Red[0], 126);
        EXPECT_EQ(Red[1], 0);
        EXPECT_EQ(Red[2], 0);
        Reds.insert(Red[0]);
    }
    EXPECT_GT(Reds.size(), 3u);
}

// The static covers the whole radar square, the player's own mark at its centre included.
TEST_F(HudTest, BrokenRadarShowsEveryStaticPictureAndNoActor) {
    ShowRadar = true;
    RadarWorking = false;
    std::set<std::vector<uint8_t>> Seen;
    for (int f = 0; f < 60; ++f) {
        Frame();
        const auto P = At(RadarPanelX + 11, RadarPanelY + 11);
        Seen.insert({P[0], P[1], P[2]});
    }
    EXPECT_EQ(Seen.size(), 3u);
    EXPECT_TRUE(Seen.count({255, 0, 0}));
    EXPECT_TRUE(Seen.count({0, 255, 0}));
    EXPECT_TRUE(Seen.count({0, 0, 255}));
}

// The needle is an arrowhead whose tip points the way the tank faces as the radar shows it
// (heading 0 up, heading 90, facing -X, left). Half a unit from the centre of the compass the
// tip's side is lit, while the other side, notched, is not.
TEST_F(HudTest, CompassNeedlePointsAlongTheHeading) {
    ShowCompass = true;
    const double X = CompassPanelX + 5, Y = CompassPanelY + 5; // the centre, from the top
    const auto   Magenta = [](const std::vector<uint8_t>& P) {
        return P[0] > 200 && P[1] < 60 && P[2] > 200;
    };
    const struct {
        float  Heading;
        double Dx, Dy; // towards the tip, in overlay units from the top
    } Cases[] = {{0, 0, -0.5}, {90, -0.5, 0}};
    for (const auto& C : Cases) {
        Actors[0].Heading = C.Heading;
        Frame();
        EXPECT_TRUE(Magenta(At(X + C.Dx, Y + C.Dy))) << "heading " << C.Heading;
        EXPECT_TRUE(Dark(At(X - C.Dx, Y - C.Dy))) << "heading " << C.Heading;
    }
}

// Radar contents at pixel centres (5 pixels per unit): the player at world (25, 0) is radar point
// (10.5, -10), overlay (12.5, 13.5), pixel (62, 67); a shot at world (-25, 0) is pixel (57, 67).
TEST_F(HudTest, RadarShowsActorsTheViewConeShotsAndTheTargetDiamond) {
    ShowRadar = true;
    const auto Lit = [&](int X, int Y) { return Ctx.Pixel(X, Y)[0] > 60; };
    ResetBattleWorld(25, 0, 0);
    // The owner of the shot, in the last slot of a full arena: radar point (2, -2), pixel (20,
    // 107).
    PlaceTank(150, -400, -400, 0);
    Shots[0].X = -25;
    Shots[0].Z = 0;
    Shots[0].Life = 500;
    Shots[0].Owner = 150;
    Frame();
    const auto Tank = Ctx.Pixel(20, 107);
    EXPECT_NEAR(Tank[0], 51, 2) << "the tank in its own colour";
    EXPECT_NEAR(Tank[1], 153, 2);
    EXPECT_NEAR(Tank[2], 230, 2);
    // Heading 0 with offsets 135 and 45: two diagonals up from the player, fading out.
    for (int K : {2, 3}) {
        EXPECT_TRUE(Lit(62 + K, 67 + K)) << K;
        EXPECT_TRUE(Lit(62 - K, 67 + K)) << K;
        EXPECT_FALSE(Lit(62 + K - 1, 67 + K)) << K;
        EXPECT_FALSE(Lit(62 - K + 1, 67 + K)) << K;
    }
    const auto Shot = Ctx.Pixel(57, 67);
    EXPECT_NEAR(Shot[0], 51, 2);
    EXPECT_NEAR(Shot[1], 153, 2);
    EXPECT_NEAR(Shot[2], 230, 2);
    RadarShowsShots = false;
    Frame();
    EXPECT_FALSE(Lit(57, 67));
    // No diamond round the player when nothing is targeted; one round the targeted tank.
    const auto Below = [&](int X, int Y) {
        int Count = 0;
        for (int DX = -3; DX <= 3; ++DX)
            for (int DY = 2; DY <= 4; ++DY)
                Count += Lit(X + DX, Y - DY);
        return Count;
    };
    TargetSlot = 0;
    Frame();
    EXPECT_EQ(Below(62, 67), 0);
    EXPECT_EQ(Below(20, 107), 0);
    TargetSlot = 150;
    Frame();
    EXPECT_GE(Below(20, 107), 2);
}

TEST_F(HudTest, DraggedRadarShowsMvAndALighterBox) {
    ShowRadar = true;
    // Caption glyph 7 ("m" of "Radar(mv)") lies above the box top, 0.5 + 7 x 1.2 units in.
    const double Mx = RadarPanelX + 0.5 + 7 * 1.2 + 0.6;
    Frame();
    EXPECT_TRUE(Dark(At(Mx, RadarPanelY - 0.2)));
    EXPECT_EQ(At(RadarPanelX + 2.5, RadarPanelY - 0.2)[1], 255); // the "R" of "Radar"
    Frame(1.0f);
    EXPECT_NEAR(At(RadarPanelX + 21.5, RadarPanelY + 11)[0], 102, 2); // alpha 0.6 over white
    DragPanel = 3;
    Frame();
    const auto G = At(Mx, RadarPanelY - 0.2);
    EXPECT_NEAR(G[0], 128, 2);
    EXPECT_EQ(G[1], 255);
    Frame(1.0f);
    EXPECT_NEAR(At(RadarPanelX + 21.5, RadarPanelY + 11)[0], 178, 2); // alpha 0.3
}

TEST_F(HudTest, GameOverWithAGapAndNoCrosshair) {
    ShowCrosshairs = true;
    Actors[0].Energy = 0;
    TargetSlot = 7;
    Frame();
    EXPECT_EQ(TargetSlot, 7);      // kept while the crosshair is not drawn
    EXPECT_EQ(At(10, 35)[0], 255); // "G"
    EXPECT_EQ(At(60, 35)[0], 255); // "O" after the blank cell
    EXPECT_TRUE(Dark(At(50, 35))); // the space is not in the big font
    EXPECT_TRUE(Dark(At(50, 29))); // no upper wedge of the crosshair
    EXPECT_TRUE(Dark(At(50, 31))); // nor the lower one
}

TEST_F(HudTest, StatusLinesInheritTheSmallFontSize) {
    SmallFont.Size = 3.0;
    Frame();
    EXPECT_DOUBLE_EQ(SmallFont.Size, 3.0);
    ShowLog = true;
    Frame();
    EXPECT_DOUBLE_EQ(SmallFont.Size, 0.8);
    ShowCompass = true;
    Frame();
    EXPECT_DOUBLE_EQ(SmallFont.Size, 1.2);
    ShowHelp = true;
    Frame();
    EXPECT_DOUBLE_EQ(SmallFont.Size, 1.4);
    // The help's white lines start at y 8.
    EXPECT_EQ(At(0.5, 8.5)[0], 255);
}

TEST_F(HudTest, MessageBoxFadesAndCountsDown) {
    AddLogLine("Energy +25", 1, 1, 0);
    Frame(1.0f);
    EXPECT_DOUBLE_EQ(MessageTimer, 99.0);
    EXPECT_LT(At(19.5, 28.5)[0], 8); // box 20 wide, nearly opaque
    EXPECT_EQ(At(20.5, 28.5)[0], 255);
    MessageTimer = 10.1;
    Frame(1.0f);
    EXPECT_NEAR(At(19.5, 28.5)[0], 230, 2);
    EXPECT_DOUBLE_EQ(SmallFont.Size, 2.0);
}

TEST_F(HudTest, PointerTakesBlueThenGreenThenRed) {
    MousePctX = 50;
    MousePctY = 50;
    RandomSeed = 4242;
    const double B = RandomReal(), G = RandomReal(), R = RandomReal();
    RandomSeed = 4242;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawPointer();
    const auto P = At(51.5, 51.5);
    EXPECT_NEAR(P[0], R * 255, 1.5);
    EXPECT_NEAR(P[1], G * 255, 1.5);
    EXPECT_NEAR(P[2], B * 255, 1.5);
    EXPECT_TRUE(Dark(At(49.5, 51.5))); // the picture hangs right of the hot spot
    PointerTimer = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawPointer();
    EXPECT_TRUE(Dark(At(51.5, 51.5)));
}

} // namespace
