// The real game under Xvfb, played as a new player would: through the menu into a custom arena
// set up on its page, driving, firing, the view toggles and the camera, out to the menu and
// back, ending the game and quitting. Screen regions are compared against what the game puts
// there.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "support/Xvfb.h"

namespace {

// Share of the pixels of a rectangle that differ clearly between two pictures.
double Changed(const clsScreenshot& A, const clsScreenshot& B, const clsXvfb& X, double X0,
               double Y0, double X1, double Y1) {
    const int Left = int(X0 * X.WindowWidth / 100), Right = int(X1 * X.WindowWidth / 100);
    const int Top = int(Y0 * X.WindowHeight / 100), Bottom = int(Y1 * X.WindowHeight / 100);
    int       Diff = 0, All = 0;
    for (int Y = Top; Y < Bottom; ++Y)
        for (int Px = Left; Px < Right; ++Px) {
            ++All;
            const uint8_t *P = A.At(Px, Y), *Q = B.At(Px, Y);
            Diff += std::abs(P[0] - Q[0]) + std::abs(P[1] - Q[1]) + std::abs(P[2] - Q[2]) > 60;
        }
    return All ? double(Diff) / All : 0.0;
}

// Text and lines drawn in pure white; the arena's textures never quite reach it.
bool White(const uint8_t* P) {
    return P[0] > 250 && P[1] > 250 && P[2] > 250;
}
bool Magenta(const uint8_t* P) {
    return P[0] > 180 && P[1] < 90 && P[2] > 180;
}

class BattleE2E : public GameFolderTest {
  protected:
    void SetUp() override {
        GameFolderTest::SetUp();
        // The custom arena a player would set up for a long first look: full energy, two
        // turrets, the default tanks and items.
        std::ofstream(Folder + "/lastarena.ini") << "[LastArena]\nTanks=10\nTurrets=2\nBonus=10\n"
                                                    "MaxShots=2\nEnergy=1000\nRespawn=0\n";
    }

    static clsScreenshot Shoot(clsXvfb& X) {
        clsScreenshot Shot;
        EXPECT_TRUE(X.ScreenshotPpm(Shot));
        return Shot;
    }

    // Screenshots until Ready holds or Seconds have passed: a game setup (start, resume) takes
    // longer on a busy machine. Returns the last picture.
    static clsScreenshot ShootWhen(clsXvfb& X, double Seconds,
                                   const std::function<bool(const clsScreenshot&)>& Ready) {
        clsScreenshot Shot;
        WaitUntil([&] { return Ready(Shot = Shoot(X)); }, Seconds);
        return Shot;
    }

    // The HUD of a living player with the default toggles: the radar frame's white top edge
    // (one pixel row of the five in the band) and the magenta compass needle.
    static double RadarEdge(const clsScreenshot& S, const clsXvfb& X) {
        return X.Share(S, 2.5, 76.1, 21.5, 76.9, White);
    }
    static double Needle(const clsScreenshot& S, const clsXvfb& X) {
        return X.Share(S, 2, 65, 10, 73, Magenta);
    }
    // The big white "MAIN MENU" title.
    static double MenuTitle(const clsScreenshot& S, const clsXvfb& X) {
        return X.Share(S, 20, 2, 65, 6.5, White);
    }
    // The "Resume Game" button text, shown only while a game is in progress.
    static double ResumeText(const clsScreenshot& S, const clsXvfb& X) {
        return X.Share(S, 30, 20, 60, 25, White);
    }
};

} // namespace

TEST_F(BattleE2E, PlayThroughTheMenuIntoABattleAndOut) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(1.0);
    const clsScreenshot Menu = Shoot(X);
    EXPECT_GT(MenuTitle(Menu, X), 0.08) << "main menu title";
    EXPECT_LT(ResumeText(Menu, X), 0.01) << "no game yet, no Resume Game";

    // The custom-arena page changes the counts of the arena file, and Start writes them back.
    ASSERT_TRUE(X.Click({Spot::SinglePlayer, Spot::CustomArena, Spot::TanksUp, Spot::TanksUp,
                         Spot::TanksUp, Spot::TurretsDown, Spot::BonusDown, Spot::EnergyUp,
                         Spot::ShotsUp, Spot::Respawn}));
    ASSERT_TRUE(X.Click({Spot::Start}, 1.5));
    auto                InBattle = [&](const clsScreenshot& S) { return RadarEdge(S, X) > 0.12; };
    const clsScreenshot Battle = ShootWhen(X, 15, InBattle);
    Pause(1.0);
    EXPECT_GT(RadarEdge(Battle, X), 0.12) << "radar frame";
    EXPECT_GT(Needle(Battle, X), 0.02) << "compass needle";
    EXPECT_LT(MenuTitle(Battle, X), 0.02) << "no menu over the battle";
    std::ifstream Arena(Folder + "/lastarena.ini");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Arena), {}),
              "[LastArena]\nTanks=13\nTurrets=1\nBonus=9\nMaxShots=3\nEnergy=1000\nRespawn=1\n")
        << "the energy stays at its limit of 1000";

    // Drive forward and turn: the view of the arena changes.
    X.KeyDown("Up");
    Pause(1.5);
    X.KeyDown("Left");
    Pause(0.8);
    X.KeyUp("Left");
    X.KeyUp("Up");
    Pause(0.8);
    const clsScreenshot Driven = Shoot(X);
    EXPECT_GT(Changed(Battle, Driven, X, 0, 20, 100, 60), 0.2) << "the view moved";
    X.Screenshot(std::string(TARVIX_BUILD_DIR) + "/battle.png");

    // Fire with A, then with space: the reload line appears under the energy line. It shows for
    // only 0.4 s of game time, so a press whose picture came too late is tried again.
    for (const char* Key : {"a", "space"}) {
        bool Seen = false;
        for (int Attempt = 0; Attempt < 4 && !Seen; ++Attempt) {
            const clsScreenshot Before = Shoot(X);
            X.KeyDown(Key);
            Pause(0.1);
            const clsScreenshot During = Shoot(X);
            X.KeyUp(Key);
            Seen = Changed(Before, During, X, 0, 22, 12, 23.4) > 0.03;
            Pause(1.0);
        }
        EXPECT_TRUE(Seen) << "RELOADING after " << Key;
    }

    // Help, radar, compass and FPS off; the help block, radar, needle go and the FPS line comes.
    const auto PressEach = [&](std::initializer_list<const char*> Keys) {
        for (const char* Key : Keys) {
            X.SendKey(Key);
            Pause(0.3);
        }
        Pause(0.5);
    };
    const clsScreenshot On = Shoot(X);
    PressEach({"h", "r", "o", "f"});
    const clsScreenshot Off = Shoot(X);
    EXPECT_LT(RadarEdge(Off, X), 0.03) << "radar off";
    EXPECT_LT(Needle(Off, X), 0.005) << "compass off";
    EXPECT_GT(Changed(On, Off, X, 0, 1, 60, 13), 0.05) << "help off";
    EXPECT_GT(Changed(On, Off, X, 0, 14, 8, 15.2), 0.05) << "FPS line";
    PressEach({"h", "r", "o", "f"});
    const clsScreenshot Back = Shoot(X);
    EXPECT_GT(RadarEdge(Back, X), 0.12) << "radar on again";
    EXPECT_GT(Needle(Back, X), 0.02) << "compass on again";

    // The camera: chase (2) to far chase (3) to the cockpit (1), where the tank is not drawn.
    PressEach({"c", "c"});
    const clsScreenshot Cockpit = Shoot(X);
    EXPECT_GT(Changed(Back, Cockpit, X, 35, 45, 65, 70), 0.2) << "cockpit view";

    // Escape pauses into the menu, which now offers Resume Game.
    const auto InMenu = [&](const clsScreenshot& S) { return MenuTitle(S, X) > 0.08; };
    X.SendKey("Escape");
    const clsScreenshot Paused = ShootWhen(X, 5, InMenu);
    EXPECT_GT(MenuTitle(Paused, X), 0.08);
    EXPECT_GT(ResumeText(Paused, X), 0.02) << "Resume Game shown";

    ASSERT_TRUE(X.Click({Spot::ResumeGame}, 1.5));
    // Waits for the battle without the menu: a slow (sanitizer) build can show the radar a frame
    // before the screen grab holds the whole new picture.
    const clsScreenshot Resumed = ShootWhen(
        X, 15, [&](const clsScreenshot& S) { return InBattle(S) && MenuTitle(S, X) < 0.02; });
    EXPECT_GT(RadarEdge(Resumed, X), 0.12) << "back in the battle";
    EXPECT_LT(MenuTitle(Resumed, X), 0.02);

    X.SendKey("Escape");
    ASSERT_TRUE(WaitUntil([&] { return X.MenuTitleShown(); }, 5));
    ASSERT_TRUE(X.Click({Spot::EndGame, Spot::Yes}, 1.5));
    const clsScreenshot Ended = ShootWhen(X, 15, InMenu);
    EXPECT_GT(MenuTitle(Ended, X), 0.08);
    EXPECT_LT(ResumeText(Ended, X), 0.01) << "no game in progress";

    ASSERT_TRUE(X.Click({Spot::Quit}, 1.5));
    EXPECT_EQ(X.WaitForExit(10.0), 0) << X.AppLog();
}
