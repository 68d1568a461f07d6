// Battles for the world, HUD and key tests: a small one set up by hand (the player and a few
// actors with the values a new game gives them, every shared table in a known state), or a real
// one made by the game's own setup in a GL context.
#pragma once
#include <string>

#include "menu/Menu.h"
#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "render/Particles.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "core/EventLog.h"
#include "world/Player.h"
#include "world/Setup.h"
#include "world/Shots.h"
#include "world/World.h"
#include "shell/GameEntry.h"

// Clears the actor table, the keys, the shots, the particles and the log, and puts the player
// with its new-game values at (X, Z) facing Heading.
inline void ResetBattleWorld(float X = 0, float Z = 0, float Heading = 0) {
    FillTrigTables();
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
    P.Name = "PLAYER";
    P.Acceleration = 0.04;
    P.ReloadTime = 20.0;
    P.Width = 2.0;
    P.Length = 2.5;
    P.Height = 2.0;
    P.MaxShots = 2;
    P.ShotRange = 1000;
    P.Speed = 1.0f;
    P.TurnSpeed = 1.0f;
    P.ShotSpeed = 1.5f;
    P.Energy = 100;
    P.Kind = KindPlayer;
    P.ShotsBounce = true;
    P.ShotPower = 20;
    P.ColorR = P.ColorG = P.ColorB = 1.0;
    P.X = X;
    P.Y = float(GroundY);
    P.Z = Z;
    P.Heading = Heading;
}

// An enemy tank in Slot with its new-game values.
inline Actor_Rec& PlaceTank(int Slot, float X, float Z, float Heading) {
    Actor_Rec& A = Actors[Slot];
    A = Actor_Rec{};
    A.Name = "Enemy tank " + std::to_string(Slot);
    A.Acceleration = 0.04;
    A.ReloadTime = 30.0;
    A.Width = 2.0;
    A.Length = 2.5;
    A.Height = 2.0;
    A.MaxShots = 5;
    A.ShotRange = 3000;
    A.ShotPower = 10;
    A.Speed = 1.0f;
    A.TurnSpeed = 2.0f;
    A.ShotSpeed = 1.8f;
    A.Energy = 100;
    A.ColorR = 0.2;
    A.ColorG = 0.6;
    A.ColorB = 0.9;
    A.X = X;
    A.Y = float(GroundY);
    A.Z = Z;
    A.Kind = KindTank;
    A.SightRange = 300.0;
    A.Heading = Heading;
    return A;
}

// A turret in Slot with its new-game values.
inline Actor_Rec& PlaceTurret(int Slot, float X, float Z, float Heading) {
    Actor_Rec& A = PlaceTank(Slot, X, Z, Heading);
    A.Name = "Turret " + std::to_string(Slot);
    A.ReloadTime = 15.0;
    A.Length = 2.0;
    A.Speed = 0.0f;
    A.TurnSpeed = 3.0f;
    A.Energy = 300;
    A.Kind = KindTurret;
    return A;
}

// A bonus item of the given type in Slot.
inline Actor_Rec& PlaceBonus(int Slot, float X, float Z, int BonusType) {
    Actor_Rec& A = Actors[Slot];
    A = Actor_Rec{};
    A.Name = "Bonus " + std::to_string(Slot);
    A.Width = A.Length = A.Height = 2.0;
    A.Energy = 1;
    A.ColorR = A.ColorG = A.ColorB = 1.0;
    A.X = X;
    A.Y = float(GroundY);
    A.Z = Z;
    A.Kind = KindBonus;
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

// A new battle made the way the game makes one: the whole game setup, first start included, in
// the current GL context and working folder (which must see the generated data), with the custom
// arena given here rather than read from "./lastarena.ini". The random generator starts from 0
// as in a fresh run, so every call builds the same battle. Leaves the game running (state 2).
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
    FirstStart = true;
    NextMenuItem = 1; // the menu tree is built at every first start
    NewGameRequested = 1;
    GameSetup();
    ArenaFromFile = FromFile;
    GameState = 2;
}
