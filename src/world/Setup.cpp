// Game setup: the five blocks run at program start, at every new game and at every resume;
// the menu's part and the whole in its order are in shell/GameEntry.
#include "world/Setup.h"

#include <string>

#include "core/EventLog.h"
#include "core/GameState.h"
#include "core/InputState.h"
#include "core/Screen.h"
#include "core/SettingValues.h"
#include "model/Animate.h"
#include "platform/Numbers.h"
#include "render/ActorDraw.h"
#include "render/OrinGLFont.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "render/Terrain.h"
#include "render/Textures.h"
#include "render/View.h"
#include "sound/Sound.h"
#include "world/Shots.h"
#include "world/World.h"

std::unique_ptr<clsAnimate> HeroModel;
std::unique_ptr<clsAnimate> TigerModel;
std::unique_ptr<clsAnimate> TurretModel;
std::unique_ptr<clsAnimate> TurretFarModel;
std::unique_ptr<clsAnimate> TigerFarModel;
std::unique_ptr<clsAnimate> BonusModel;
std::unique_ptr<clsAnimate> HouseModel;
std::unique_ptr<clsAnimate> DiskModel;
std::unique_ptr<clsAnimate> SphereModel;

bool ArenaFromFile = true;

const SetupModel SetupModels[SetupModelCount] = {
    {"models/hero.mdl", &HeroModel},         {"models/tiger.mdl", &TigerModel},
    {"models/turret.mdl", &TurretModel},     {"models/turret_f.mdl", &TurretFarModel},
    {"models/tiger_f.mdl", &TigerFarModel},  {"models/bonus.mdl", &BonusModel},
    {"models/house.mdl", &HouseModel},       {"models/xpdisk.mdl", &DiskModel},
    {"models/xpsphere.mdl", &SphereModel},
};

namespace {

// The fields every kind of actor is given from a fixed set of values when it is placed.
struct ActorTemplate {
    double  ReloadTime;
    double  Width, Length, Height;
    int32_t MaxShots, ShotRange, ShotPower;
    bool    ShotsBounce;
    float   Speed, TurnSpeed, ShotSpeed;
    int32_t Energy;
    int32_t Kind;
};

// An armed enemy kind: its template and the name each one is given, followed by its slot.
struct EnemyTemplate {
    const char*   Name;
    ActorTemplate Fields;
};
constexpr EnemyTemplate TankTemplate   = {"Enemy tank ", {30.0, 2.0, 2.5, 2.0, 5, 3000, 10, false,
                                                         1.0f, 2.0f, 1.8f, 100, KindTank}};
constexpr EnemyTemplate TurretTemplate = {"Turret ", {15.0, 2.0, 2.0, 2.0, 5, 3000, 10, false,
                                                      0.0f, 3.0f, 1.8f, 300, KindTurret}};
constexpr ActorTemplate BonusTemplate  = {0, 2.0, 2.0, 2.0, 0, 0, 0, false, 0, 0, 0, 1, KindBonus};

constexpr double EnemySightRange = 300.0;

// Block 1, first start only: blending, sound, projection and scale (the arena settings and the
// menu come before it, from the menu's part of the setup).
void SetupFirstStart() {
    Score = 0;
    PlayerVelocity = 0;
    EnableSceneBlending();
    OverlayMode = false;
    ResetExplosions();
    LoadSoundEffects();
    FieldOfView = 45.0;
    ArenaScale = 10;
}

// The template's fields, a reload timer that has run out, and the actor on the ground.
void ApplyTemplate(Actor_Rec& A, const ActorTemplate& T) {
    A.ReloadTime = T.ReloadTime;
    A.ReloadTimer = 0;
    A.Width = T.Width;
    A.Length = T.Length;
    A.Height = T.Height;
    A.MaxShots = T.MaxShots;
    A.ShotRange = T.ShotRange;
    A.ShotPower = T.ShotPower;
    A.ShotsBounce = T.ShotsBounce;
    A.Speed = T.Speed;
    A.TurnSpeed = T.TurnSpeed;
    A.ShotSpeed = T.ShotSpeed;
    A.Energy = T.Energy;
    A.Kind = T.Kind;
    A.Y = static_cast<float>(GroundY);
}

void SetupPlayer() {
    Actor_Rec& P = Actors[0];
    ApplyTemplate(P, {20.0, 2.0, 2.5, 2.0, ArenaMaxShots, 1000, 20, true, 1.0f, 1.0f, 1.5f,
                      ArenaStartEnergy, KindPlayer});
    P.Acceleration = 0.04;
    P.Heading = 0;
    P.DeathHeading = 0;
    P.ShotsInFlight = 0;
    P.X = static_cast<float>(50 - 50 * ArenaScale);
    P.Z = 0;
    CameraMode = 2;
}

// An armed enemy in slot Slot; the random draws come in the order colour, Z, X, heading.
void PlaceEnemy(int Slot, const EnemyTemplate& T) {
    Actor_Rec& A = Actors[Slot];
    A.Name = T.Name + std::to_string(Slot);
    if (T.Fields.Kind == KindTank)
        A.Acceleration = 0.04;
    ApplyTemplate(A, T.Fields);
    A.ColorR = RandomReal();
    A.ColorG = RandomReal();
    A.ColorB = RandomReal();
    A.Z = static_cast<float>(RandomCoordinate());
    A.X = static_cast<float>(RandomCoordinate());
    A.SightRange = EnemySightRange;
    A.Heading = static_cast<float>(RandomReal() * 360);
}

// A bonus item in slot Slot; the random draws come in the order Z, X, bonus type, heading.
void PlaceBonus(int Slot) {
    Actor_Rec& A = Actors[Slot];
    A.Name = "Bonus " + std::to_string(Slot);
    ApplyTemplate(A, BonusTemplate);
    A.ColorR = 1.0;
    A.ColorG = 1.0;
    A.ColorB = 1.0;
    A.Z = static_cast<float>(RandomCoordinate());
    A.X = static_cast<float>(RandomCoordinate());
    A.BonusType = static_cast<int32_t>(Trunc(RandomReal() * 9)) + 1;
    A.SightRange = 0;
    A.Heading = static_cast<float>(RandomReal() * 360);
}

void ClearEventLog() {
    for (LogString& Line : EventLog) {
        Line.Text.clear();
        Line.ColorR = 1.0;
        Line.ColorG = 1.0;
        Line.ColorB = 1.0;
    }
}

// Block 3, always: fonts, textures and the nine model animators, each replacing (and
// releasing) the one of the previous setup.
void SetupResources() {
    ReleasePreviousSetup();
    AddLogLine("Loading fonts...", 1.0, 1.0, 1.0);
    CreateGameFonts(ScreenWidth, ScreenHeight);
    LoadTextures();
    AddLogLine("Loading models...", 1.0, 1.0, 1.0);
    for (const SetupModel& File : SetupModels) {
        File.Animator->reset();
        *File.Animator = std::make_unique<clsAnimate>(File.FileName, 1.0);
    }
}

// Block 4, first start only: tables, panel positions and the game state.
void SetupFirstStartTables() {
    FillTrigTables();
    SetPanelStartPositions();
    AddLogLine("Game init complete!", 1.0, 0, 0);
    GameState = 1;
}

// Block 5, always: terrain and the model display lists.
void SetupScene() {
    GenerateTerrain();
    BuildModelLists();
    FirstStart = false;
    MessageTimer = 0; // none of the loading lines is shown as the large message
}

} // namespace

double RandomCoordinate() {
    const double R1 = RandomReal();
    const double R2 = RandomReal();
    return R1 * ArenaScale * 25 - R2 * ArenaScale * 50;
}

void SetupNewBattle() {
    Score = 0;
    GameInProgress = false;
    RadarWorking = true;
    ShowFPS = false;
    RadarShowsShots = true;
    SetupPlayer();
    ResetGameTimer();
    ClearEventLog();
    ResetParticles();
    ResetExplosions(); // a blast of the last battle must not go on over the new one
    ResetWalkTracks();
    for (int I = 1; I <= BattleSlotLast; I++) {
        Actors[I].Energy = 0;
        Actors[I].ShotsInFlight = 0;
    }
    int Slot = 1;
    for (int N = 0; N < ArenaTanks; N++, Slot++)
        PlaceEnemy(Slot, TankTemplate);
    for (int N = 0; N < ArenaTurrets; N++, Slot++)
        PlaceEnemy(Slot, TurretTemplate);
    for (int N = 0; N < ArenaBonus; N++, Slot++)
        PlaceBonus(Slot);
    ResetShots();
    NewGameRequested = 0;
}

void SetupGameWorld() {
    if (FirstStart)
        SetupFirstStart();
    if (NewGameRequested == 1)
        SetupNewBattle();
    SetupResources();
    if (FirstStart)
        SetupFirstStartTables();
    SetupScene();
    RefreshFrameClock(); // the first frame after setup moves one frame, not the loading time
}
