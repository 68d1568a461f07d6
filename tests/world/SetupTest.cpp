// Game setup: the new-battle block (player, actors, names, slots, placement) and the whole
// setup in a real context with the generated data: first start, resume and new game.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/EventLog.h"
#include "core/Timer.h"
#include "menu/Menu.h"
#include "menu/Settings.h"
#include "model/Animate.h"
#include "platform/Numbers.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "render/Terrain.h"
#include "shell/App.h"
#include "shell/GameEntry.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "support/BattleFixture.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"
#include "world/Setup.h"
#include "world/Shots.h"
#include "world/World.h"

namespace {

void ArenaCounts(int Tanks, int Turrets, int Bonus) {
    ArenaTanks = Tanks;
    ArenaTurrets = Turrets;
    ArenaBonus = Bonus;
    ArenaStartEnergy = 100;
    ArenaMaxShots = 2;
    ArenaRespawn = false;
    ArenaScale = 10;
    NewGameRequested = 1;
}

// Every actor slot holds leftovers of an earlier battle.
void DirtyActors() {
    for (int I = 0; I < ActorSlots; I++) {
        Actors[I].Energy = 55;
        Actors[I].ShotsInFlight = 3;
        Actors[I].Heading = 200;
        Actors[I].ReloadTimer = 9;
        Actors[I].Acceleration = 0.5;
        Actors[I].SightRange = 77;
    }
}

// The records of a new battle with ten of each, start energy 100 and two shots, written out from
// the setup tables; the player keeps its sight range, turrets and items their acceleration.
// Kind, Acceleration, ReloadTime, Width, Length, Height, MaxShots, ShotRange, ShotPower,
// ShotsBounce, Speed, TurnSpeed, ShotSpeed, Energy, SightRange:
using Record = std::tuple<int32_t, double, double, double, double, double, int32_t, int32_t,
                          int32_t, bool, float, float, float, int32_t, double>;
Record Fields(const Actor_Rec& A) {
    return {A.Kind,   A.Acceleration, A.ReloadTime, A.Width,     A.Length,
            A.Height, A.MaxShots,     A.ShotRange,  A.ShotPower, A.ShotsBounce,
            A.Speed,  A.TurnSpeed,    A.ShotSpeed,  A.Energy,    A.SightRange};
}
const Record NewPlayer{1, 0.04, 20, 2, 2.5, 2, 2, 1000, 20, true, 1.0f, 1.0f, 1.5f, 100, 77};
const Record NewTank{2, 0.04, 30, 2, 2.5, 2, 5, 3000, 10, false, 1.0f, 2.0f, 1.8f, 100, 300};
const Record NewTurret{3, 0.5, 15, 2, 2, 2, 5, 3000, 10, false, 0.0f, 3.0f, 1.8f, 300, 300};
const Record NewBonus{4, 0.5, 0, 2, 2, 2, 0, 0, 0, false, 0.0f, 0.0f, 0.0f, 1, 0};

TEST(SetupNewBattle, TenOfEachMatchTheSetupTablesAndAreNumberedBySlot) {
    ArenaCounts(10, 10, 10);
    DirtyActors();
    SetupNewBattle();
    const std::pair<int, const Record*> Rows[] = {
        {0, &NewPlayer},  {1, &NewTank},   {10, &NewTank}, {11, &NewTurret},
        {20, &NewTurret}, {21, &NewBonus}, {30, &NewBonus}};
    for (const auto& [Slot, Expected] : Rows) {
        EXPECT_EQ(Fields(Actors[Slot]), *Expected) << "slot " << Slot;
        EXPECT_EQ(Actors[Slot].ReloadTimer, 0.0) << "slot " << Slot;
        EXPECT_EQ(Actors[Slot].ShotsInFlight, 0) << "slot " << Slot;
        EXPECT_FLOAT_EQ(Actors[Slot].Y, -179.0f) << "slot " << Slot;
    }
    // Every slot between the rows is named and kinded by its place, and spread over the arena.
    for (int I = 1; I <= 30; I++) {
        const char* Prefix = I <= 10 ? "Enemy tank " : I <= 20 ? "Turret " : "Bonus ";
        EXPECT_EQ(Actors[I].Name, Prefix + std::to_string(I));
        EXPECT_EQ(Actors[I].Kind, I <= 10 ? KindTank : I <= 20 ? KindTurret : KindBonus);
        EXPECT_EQ(Actors[I].ColorR == 1.0 && Actors[I].ColorB == 1.0, I > 20) << I;
        EXPECT_GE(Actors[I].X, -500.0f);
        EXPECT_LE(Actors[I].X, 250.0f);
        EXPECT_GE(Actors[I].Z, -500.0f);
        EXPECT_LE(Actors[I].Z, 250.0f);
        EXPECT_GE(Actors[I].Heading, 0.0f);
        EXPECT_LT(Actors[I].Heading, 360.0f);
    }
    EXPECT_EQ(Actors[31].Energy, 0);
}

TEST(SetupNewBattle, WithNoEnemiesOnlyThePlayerIsAlive) {
    ArenaCounts(0, 0, 0);
    DirtyActors();
    SetupNewBattle();
    EXPECT_EQ(Actors[0].Energy, 100);
    for (int I = 1; I <= 150; I++) {
        EXPECT_EQ(Actors[I].Energy, 0) << "slot " << I;
        EXPECT_EQ(Actors[I].ShotsInFlight, 0) << "slot " << I;
    }
    EXPECT_EQ(Actors[151].Energy, 55) << "no battle reaches past slot 150";
    EXPECT_EQ(NewGameRequested, 0);
}

// 50 of each fill slots 1..150: the bonus items in 101..150 are in play, and shots hit them.
TEST(SetupNewBattle, AFullArenaIsInPlayToTheLastSlot) {
    ArenaCounts(50, 50, 50);
    RandomSeed = 0;
    SetupNewBattle();
    const Actor_Rec& Last = Actors[150];
    EXPECT_EQ(Last.Name, "Bonus 150");
    ASSERT_EQ(Last.Kind, KindBonus);
    ASSERT_EQ(Last.Energy, 1);
    PlaceShot(0, 0, Last.X, Last.Z);
    SoundEnabled = false;
    UpdateShots();
    EXPECT_EQ(Last.Energy, 0);
    EXPECT_EQ(Score, 5) << "five times the one point left";
}

TEST(SetupNewBattle, TheRandomDrawsComeInTableOrder) {
    ArenaCounts(1, 0, 1);
    RandomSeed = 4242;
    SetupNewBattle();
    // Replay the generator past the 1000 smoke spins the particle reset draws first.
    RandomSeed = 4242;
    for (int I = 0; I < ParticleSlots; I++)
        RandomReal();
    const double R = RandomReal(), G = RandomReal(), B = RandomReal();
    const double Z = RandomCoordinate(), X = RandomCoordinate();
    const double Heading = RandomReal() * 360;
    EXPECT_EQ(Actors[1].ColorR, R);
    EXPECT_EQ(Actors[1].ColorG, G);
    EXPECT_EQ(Actors[1].ColorB, B);
    EXPECT_FLOAT_EQ(Actors[1].Z, float(Z));
    EXPECT_FLOAT_EQ(Actors[1].X, float(X));
    EXPECT_FLOAT_EQ(Actors[1].Heading, float(Heading));
    const double BZ = RandomCoordinate(), BX = RandomCoordinate();
    const int    Type = int(Trunc(RandomReal() * 9)) + 1;
    EXPECT_FLOAT_EQ(Actors[2].Z, float(BZ));
    EXPECT_FLOAT_EQ(Actors[2].X, float(BX));
    EXPECT_EQ(Actors[2].BonusType, Type);
}

TEST(SetupNewBattle, PlayerStartsAtTheWestEndFacingMinusZ) {
    ArenaCounts(3, 3, 3);
    ArenaStartEnergy = 640;
    ArenaMaxShots = 7;
    Actors[0].Name = "ORIN";
    Actors[0].ColorG = 0.3;
    Actors[0].Heading = 90;
    Actors[0].X = 17;
    CameraMode = 3;
    Score = 99;
    ShowFPS = true;
    RadarWorking = false;
    GameInProgress = true;
    SetupNewBattle();
    const Actor_Rec& P = Actors[0];
    EXPECT_FLOAT_EQ(P.X, -450.0f);
    EXPECT_FLOAT_EQ(P.Y, -179.0f);
    EXPECT_FLOAT_EQ(P.Z, 0.0f);
    EXPECT_EQ(P.Heading, 0.0f);
    EXPECT_EQ(P.Energy, 640);
    EXPECT_EQ(P.MaxShots, 7);
    EXPECT_EQ(P.Name, "ORIN") << "name and colour stay as the settings set them";
    EXPECT_EQ(P.ColorG, 0.3);
    EXPECT_EQ(CameraMode, 2);
    EXPECT_EQ(Score, 0);
    EXPECT_FALSE(ShowFPS);
    EXPECT_TRUE(RadarWorking);
    EXPECT_TRUE(RadarShowsShots);
    EXPECT_FALSE(GameInProgress);
    ASSERT_NE(GameTimer, nullptr);
    EXPECT_LT(GameTimer->ElapsedSeconds() - LastFrameTime, 0.5f) << "a fresh clock and reading";
}

TEST(SetupNewBattle, BonusTypesStayWithinOneToNine) {
    int Seen[11] = {};
    for (int Round = 0; Round < 40; Round++) {
        ArenaCounts(0, 0, 50);
        SetupNewBattle();
        for (int I = 1; I <= 50; I++) {
            const int T = Actors[I].BonusType;
            ASSERT_GE(T, 1);
            ASSERT_LE(T, 9);
            Seen[T]++;
        }
    }
    for (int T = 1; T <= 9; T++)
        EXPECT_GT(Seen[T], 100) << "type " << T << " turns up with its share";
}

TEST(SetupNewBattle, ClearsLogParticlesExplosionsAndShots) {
    ArenaCounts(0, 0, 0);
    // The blast of the player destroyed in the last battle is still running.
    ResetExplosions();
    SpawnExplosion(-450, GroundY, 0, 3.0f);
    SpawnExplosion(100, GroundY, 100, 2.0f);
    AddLogLine("left over", 0.5, 0.5, 0);
    Sparks[7].Life = 0.5f;
    Smokes[7].Life = 0.5f;
    Smokes[7].Angle = 33;
    Shots[1000].Life = 40;
    Shots[3].Bounces = false;
    SetupNewBattle();
    for (const LogString& Line : EventLog) {
        EXPECT_TRUE(Line.Text.empty());
        EXPECT_EQ(Line.ColorB, 1.0);
    }
    EXPECT_EQ(Sparks[7].Life, 0.0f);
    EXPECT_EQ(Smokes[7].Life, 0.0f);
    EXPECT_EQ(Smokes[7].Angle, 0.0f);
    EXPECT_GE(Smokes[7].Spin, -2.5f);
    EXPECT_LT(Smokes[7].Spin, 2.5f);
    EXPECT_EQ(Shots[1000].Life, ShotFreeLife);
    EXPECT_TRUE(Shots[3].Bounces);
    for (int I = 1; I <= ExplosionSlots; I++)
        EXPECT_LE(Explosions[I].Life, 0.0f) << "explosion " << I;
}

TEST(RandomCoordinate, SpansMinusFiveHundredToTwoFifty) {
    ArenaScale = 10;
    double Low = 0, High = 0;
    int    Middle = 0;
    for (int I = 0; I < 20000; I++) {
        const double C = RandomCoordinate();
        Low = std::min(Low, C);
        High = std::max(High, C);
        Middle += (C > -250 && C < 0);
    }
    EXPECT_GE(Low, -500);
    EXPECT_LT(Low, -480);
    EXPECT_LE(High, 250);
    EXPECT_GT(High, 230);
    // Half of all the chance lies in the flat middle stretch -250..0.
    EXPECT_NEAR(Middle / 20000.0, 0.5, 0.02);
}

// --- The whole setup in a context, run from a folder that sees the generated data ------------

class GameSetupInContext : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.Ready());
        Temp.LinkGameData(TARVIX_DATA_DIR);
    }
    clsTempFolder Temp;
};

TEST_F(GameSetupInContext, FirstStartThenResumeThenNewGame) {
    clsTestGLContext Ctx(320, 240);
    REQUIRE_GL(Ctx);
    REQUIRE_GAME_MODELS();
    RunFirstStart(320, 240);
    EXPECT_EQ(GameState, 1);
    EXPECT_EQ(MenuPage, 1);
    EXPECT_FALSE(FirstStart);
    EXPECT_EQ(NewGameRequested, 0);
    EXPECT_EQ(MessageTimer, 0);
    EXPECT_EQ(FieldOfView, 45.0);
    EXPECT_EQ(ArenaScale, 10);
    EXPECT_NEAR(SinTable[90 + TrigOffset], 1.0, 1e-12);
    EXPECT_EQ(LogPanelX, 24.0);
    EXPECT_EQ(CompassPanelY, 64.0);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    const uint32_t Lists[] = {SphereList, DiskList,     HeroList,     TigerList,
                              TurretList, TigerFarList, TurretFarList};
    for (uint32_t L : Lists)
        EXPECT_TRUE(glIsList(L)) << L;
    ASSERT_TRUE(BonusModel);
    EXPECT_EQ(BonusModel->FileName, "models/bonus.mdl");
    EXPECT_TRUE(glIsList(ArenaList));
    // Block 4 logged last of the first-start lines before terrain.
    bool SawInit = false;
    for (const LogString& Line : EventLog)
        SawInit |= Line.Text.find("Game init complete!") != std::string::npos;
    EXPECT_TRUE(SawInit);

    // Resume: the battle stays, the per-setup objects are made anew and the old ones go.
    Actors[3].Energy = 42;
    Score = 77;
    Shots[5].Life = 500;
    const uint32_t OldHero = HeroList;
    MessageTimer = 50;
    GameState = 2;
    GameSetup();
    EXPECT_EQ(Actors[3].Energy, 42);
    EXPECT_EQ(Score, 77);
    EXPECT_EQ(Shots[5].Life, 500);
    EXPECT_EQ(GameState, 2) << "only the first start sets the menu state";
    EXPECT_EQ(MessageTimer, 0);
    ASSERT_TRUE(BonusModel);
    EXPECT_TRUE(glIsList(HeroList));
    if (OldHero != HeroList) {
        EXPECT_FALSE(glIsList(OldHero)) << "the previous list is released";
    }

    // New game: a fresh battle from the arena values.
    ArenaTanks = 2;
    ArenaTurrets = 1;
    ArenaBonus = 0;
    NewGameRequested = 1;
    GameSetup();
    EXPECT_EQ(Actors[3].Name, "Turret 3");
    EXPECT_EQ(Actors[3].Energy, 300);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(Shots[5].Life, ShotFreeLife);
    EXPECT_EQ(NewGameRequested, 0);
}

} // namespace

namespace {

// Mean brightness of a square of Side pixels around the centre of the picture.
double CentreBrightness(const clsTestGLContext& Ctx, int Side) {
    double Sum = 0;
    for (int Y = -Side / 2; Y < Side / 2; Y++)
        for (int X = -Side / 2; X < Side / 2; X++) {
            const auto P = Ctx.Pixel(Ctx.Width / 2 + X, Ctx.Height / 2 + Y);
            Sum += P[0] + P[1] + P[2];
        }
    return Sum / (Side * Side * 3);
}

TEST_F(GameSetupInContext, AShotFliesHitsScoresAndKillsWithAnExplosion) {
    clsTestGLContext Ctx(160, 120);
    REQUIRE_GL(Ctx);
    REQUIRE_GAME_MODELS();
    ArenaTanks = 1;
    ArenaTurrets = 0;
    ArenaBonus = 0;
    ArenaRespawn = false;
    RunFirstStart(160, 120);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 160.0 / 120, 0.1, 1500);
    glMatrixMode(GL_MODELVIEW);
    GameState = 2;
    CameraMode = 1;
    ShowParticles = true;
    DetailLevel = 3;
    SpeedFactor = 1;
    Actor_Rec& Tank = Actors[1];
    Tank.X = Actors[0].X;
    Tank.Z = -60;
    Tank.Energy = 10;
    Tank.ColorR = 1;
    Tank.ColorG = 0.5;
    Tank.ColorB = 0;
    auto Frame = [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        PlaceCamera();
        DrawArena();
        UpdateShots();
        DrawParticles();
        DrawExplosions();
    };
    Frame();
    const double Before = CentreBrightness(Ctx, 30);
    FireShot(0);
    ASSERT_EQ(Actors[0].ShotsInFlight, 1);
    int Frames = 0;
    while (Tank.Energy > 0 && Frames < 100) {
        Frame();
        Frames++;
    }
    EXPECT_EQ(Tank.Energy, 0);
    EXPECT_NEAR(Frames, 17, 2) << "3 units a frame from 8 ahead to within 5 of 60 away";
    EXPECT_EQ(Score, 50) << "the five-times rule on the last 10";
    EXPECT_GT(Explosions[1].Life, 0.0f);
    EXPECT_EQ(CurrentMessage.rfind("Enemy tank 1", 0), 0u);
    for (int F = 0; F < 30; F++)
        Frame();
    const double During = CentreBrightness(Ctx, 30);
    EXPECT_GT(During, Before + 10) << "the blast and the sparks light the view";
    for (int F = 0; F < 400; F++)
        Frame();
    EXPECT_EQ(Actors[0].ShotsInFlight, 0);
    EXPECT_NEAR(CentreBrightness(Ctx, 30), Before, 3) << "and everything dies away";
}

} // namespace
