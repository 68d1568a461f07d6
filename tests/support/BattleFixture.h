// Battles for the world, HUD and key tests: a small one set up by hand (the player and a few
// actors with the values a new game gives them, every shared table in a known state), or a real
// one made by the game's own setup in a GL context.
#pragma once
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "core/EventLog.h"
#include "menu/Menu.h"
#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "render/Particles.h"
#include "shell/App.h"
#include "shell/GameEntry.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "world/Player.h"
#include "world/Setup.h"
#include "world/Shots.h"
#include "world/World.h"

// The records a new battle gives the player, a tank, a turret and a bonus item, made once by the
// game's own new-battle setup (one of each, start energy 100, two shots) so that the fixtures
// below carry no copies of setup's numbers. The random generator is left as it was.
struct NewBattleRecords {
    Actor_Rec Player, Tank, Turret, Bonus;
};
inline const NewBattleRecords& NewBattle() {
    static const NewBattleRecords Records = [] {
        const uint32_t Seed = RandomSeed;
        for (Actor_Rec& A : Actors)
            A = Actor_Rec{};
        ArenaTanks = ArenaTurrets = ArenaBonus = 1;
        ArenaStartEnergy = 100;
        ArenaMaxShots = 2;
        ArenaScale = 10;
        NewGameRequested = 1;
        SetupNewBattle();
        RandomSeed = Seed;
        return NewBattleRecords{Actors[0], Actors[1], Actors[2], Actors[3]};
    }();
    return Records;
}

// Clears the actor table, the keys, the shots, the particles and the log, and puts the player
// with its new-game values at (X, Z) facing Heading.
inline void ResetBattleWorld(float X = 0, float Z = 0, float Heading = 0) {
    FillTrigTables();
    const NewBattleRecords& New = NewBattle();
    for (Actor_Rec& A : Actors)
        A = Actor_Rec{};
    for (bool& K : Keys)
        K = false;
    ResetShots();
    for (int i = 1; i <= ParticleSlots; ++i) {
        Sparks[i] = Spark_Rec{};
        Smokes[i] = Smoke_Rec{};
    }
    for (LogString& L : EventLog)
        L = LogString{"", 1, 1, 1};
    CurrentMessage.clear();
    MessageTimer = 0;
    ArenaScale = 10;
    SpeedFactor = 1.0f;
    PlayerVelocity = 0.0;
    FireLatch = false;
    Score = 0;
    RadarWorking = true;
    RadarShowsShots = true;
    CameraMode = 2;
    DetailLevel = 3;
    ShowParticles = true;
    PointerTimer = 30.0;
    Actor_Rec& P = Actors[0];
    P = New.Player;
    P.Name = "PLAYER";
    P.ColorR = P.ColorG = P.ColorB = 1.0;
    P.X = X;
    P.Z = Z;
    P.Heading = Heading;
}

// A copy of a new battle's record in Slot, named as setup names that slot, at (X, Z).
inline Actor_Rec& PlaceCopy(int Slot, const Actor_Rec& From, const std::string& Name, float X,
                            float Z, float Heading) {
    Actor_Rec& A = Actors[Slot];
    A = From;
    A.Name = Name + std::to_string(Slot);
    A.X = X;
    A.Z = Z;
    A.Heading = Heading;
    return A;
}

// An armed enemy like From. Setup draws its colour at random; a fixed one keeps drawings the
// same from run to run.
inline Actor_Rec& PlaceArmed(int Slot, const Actor_Rec& From, const std::string& Name, float X,
                             float Z, float Heading) {
    Actor_Rec& A = PlaceCopy(Slot, From, Name, X, Z, Heading);
    A.ColorR = 0.2;
    A.ColorG = 0.6;
    A.ColorB = 0.9;
    return A;
}

// An enemy tank or a turret in Slot with its new-game values.
inline Actor_Rec& PlaceTank(int Slot, float X, float Z, float Heading) {
    return PlaceArmed(Slot, NewBattle().Tank, "Enemy tank ", X, Z, Heading);
}
inline Actor_Rec& PlaceTurret(int Slot, float X, float Z, float Heading) {
    return PlaceArmed(Slot, NewBattle().Turret, "Turret ", X, Z, Heading);
}

// A bonus item of the given type in Slot.
inline Actor_Rec& PlaceBonus(int Slot, float X, float Z, int BonusType) {
    Actor_Rec& A = PlaceCopy(Slot, NewBattle().Bonus, "Bonus ", X, Z, 0);
    A.BonusType = BonusType;
    return A;
}

// True when the newest log line carries Message after its timestamp, in colour (R, G, B).
inline bool NewestLogLineIs(const std::string& Message, double R, double G, double B) {
    const LogString&  Line = EventLog[LogLines - 1];
    const std::string Tail = ":" + Message;
    return Line.Text.size() >= Tail.size() &&
           Line.Text.compare(Line.Text.size() - Tail.size(), Tail.size(), Tail) == 0 &&
           Line.ColorR == R && Line.ColorG == G && Line.ColorB == B;
}

// A flying shot of Owner at (X, Z) in slot K with the owner's values, counted against the
// owner's shots, already past its first move (so it can hit its owner too).
inline Shot_Rec& PlaceShot(int K, int Owner, float X, float Z, int32_t Life = 500) {
    Shot_Rec&        S = Shots[K];
    const Actor_Rec& A = Actors[Owner];
    S = Shot_Rec{};
    S.X = X;
    S.Y = float(GroundY) - 2;
    S.Z = Z;
    S.ColorR = float(A.ColorR);
    S.ColorG = float(A.ColorG);
    S.ColorB = float(A.ColorB);
    S.Life = Life;
    S.Power = A.ShotPower;
    S.Owner = int16_t(Owner);
    S.Bounces = A.ShotsBounce;
    S.Moved = true;
    Actors[Owner].ShotsInFlight += 1;
    return S;
}

// Spark particles alive now.
inline int LiveSparks() {
    int N = 0;
    for (int I = 1; I <= ParticleSlots; I++)
        N += Sparks[I].Life > 0;
    return N;
}

// Skips a test that needs the generated models when the generator has not made them yet.
#define REQUIRE_GAME_MODELS()                                                                      \
    do {                                                                                           \
        if (!std::filesystem::exists(std::string(TARVIX_DATA_DIR) + "/models/xpsphere.mdl"))       \
            GTEST_SKIP() << "the generated models are not there yet";                              \
    } while (0)

// The game's first start with a new battle, in the current GL context on a Width x Height screen
// (the working folder must see the generated data). The menu tree is built again, as at every
// first start.
inline void RunFirstStart(int Width, int Height) {
    ScreenWidth = Width;
    ScreenHeight = Height;
    FirstStart = true;
    NextMenuItem = 1;
    NewGameRequested = 1;
    GameState = 0;
    GameSetup();
}

// A new battle made the way the game makes one: the whole first start on the current screen,
// with the custom arena given here rather than read from "./lastarena.ini". The random
// generator starts from 0 as in a fresh run, so every call builds the same battle. Leaves the
// game running (state 2).
inline void StartRealBattle(int Tanks, int Turrets, int Bonus, int MaxShots) {
    const bool FromFile = ArenaFromFile;
    ArenaFromFile = false;
    ArenaTanks = Tanks;
    ArenaTurrets = Turrets;
    ArenaBonus = Bonus;
    ArenaMaxShots = MaxShots;
    ArenaStartEnergy = 100;
    ArenaRespawn = false;
    SoundEnabled = false;
    RandomSeed = 0;
    RunFirstStart(ScreenWidth, ScreenHeight);
    ArenaFromFile = FromFile;
    GameState = 2;
}
