// Game setup: the five blocks run at program start, at every new game and at every resume.
#include "world/Setup.h"

#include <string>

#include "menu/Menu.h"
#include "menu/MenuDraw.h"
#include "menu/Settings.h"
#include "model/Animate.h"
#include "platform/Numbers.h"
#include "render/ActorDraw.h"
#include "render/OrinGLFont.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "render/Terrain.h"
#include "render/Textures.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "sound/Sound.h"
#include "world/EventLog.h"
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

namespace {

// The model files in loading order, with the animator each one fills.
struct ModelFile {
    const char*                  FileName;
    std::unique_ptr<clsAnimate>* Animator;
};
const ModelFile ModelFiles[] = {
    {"models/hero.mdl", &HeroModel},         {"models/tiger.mdl", &TigerModel},
    {"models/turret.mdl", &TurretModel},     {"models/turret_f.mdl", &TurretFarModel},
    {"models/tiger_f.mdl", &TigerFarModel},  {"models/bonus.mdl", &BonusModel},
    {"models/house.mdl", &HouseModel},       {"models/xpdisk.mdl", &DiskModel},
    {"models/xpsphere.mdl", &SphereModel},
};

// The fields every armed enemy kind sets, in the order the tables list them.
struct EnemyTemplate {
    const char* Name;      // followed by the slot's number
    double      ReloadTime;
    double      Width, Length, Height;
    int32_t     MaxShots, ShotRange, ShotPower;
    float       Speed, TurnSpeed, ShotSpeed;
    int32_t     Energy;
    int32_t     Kind;
};
constexpr EnemyTemplate TankTemplate   = {"Enemy tank ", 30.0, 2.0, 2.5, 2.0, 5, 3000, 10,
                                          1.0f, 2.0f, 1.8f, 100, KindTank};
constexpr EnemyTemplate TurretTemplate = {"Turret ", 15.0, 2.0, 2.0, 2.0, 5, 3000, 10,
                                          0.0f, 3.0f, 1.8f, 300, KindTurret};

constexpr double EnemySightRange = 300.0;

// Block 1, first start only: arena settings, blending, menu, sound, projection and scale.
void SetupFirstStart() {
    Score = 0;
    PlayerVelocity = 0;
    if (ArenaFromFile)
        LoadLastArena();
    EnableSceneBlending();
    OverlayMode = false;
    ClearMenuItems();
    SeedMenuBackdrop();
    ResetExplosions();
    BuildMenu();
    LoadSoundEffects();
    FieldOfView = 45.0;
    ArenaScale = 10;
}

void SetupPlayer() {
    Actor_Rec& P = Actors[0];
    P.Acceleration = 0.04;
    P.ReloadTime = 20.0;
    P.ReloadTimer = 0;
    P.Heading = 0;
    P.DeathHeading = 0;
    P.ShotsInFlight = 0;
    P.Width = 2.0;
    P.Length = 2.5;
    P.Height = 2.0;
    P.MaxShots = ArenaMaxShots;
    P.ShotRange = 1000;
    P.Speed = 1.0f;
    P.TurnSpeed = 1.0f;
    P.ShotSpeed = 1.5f;
    P.Energy = ArenaStartEnergy;
    P.Kind = KindPlayer;
    P.ShotsBounce = true;
    P.ShotPower = 20;
    P.X = static_cast<float>(50 - 50 * ArenaScale);
    P.Y = static_cast<float>(GroundY);
    P.Z = 0;
    CameraMode = 2;
}

// An armed enemy in slot Slot; the random draws come in the order colour, Z, X, heading.
void PlaceEnemy(int Slot, const EnemyTemplate& T) {
    Actor_Rec& A = Actors[Slot];
    A.Name = T.Name + std::to_string(Slot);
    if (T.Kind == KindTank)
        A.Acceleration = 0.04;
    A.ReloadTime = T.ReloadTime;
    A.ReloadTimer = 0;
    A.Width = T.Width;
    A.Length = T.Length;
    A.Height = T.Height;
    A.MaxShots = T.MaxShots;
    A.ShotRange = T.ShotRange;
    A.ShotsBounce = false;
    A.ShotPower = T.ShotPower;
    A.Speed = T.Speed;
    A.TurnSpeed = T.TurnSpeed;
    A.ShotSpeed = T.ShotSpeed;
    A.Energy = T.Energy;
    A.ColorR = RandomReal();
    A.ColorG = RandomReal();
    A.ColorB = RandomReal();
    A.Z = static_cast<float>(RandomCoordinate());
    A.X = static_cast<float>(RandomCoordinate());
    A.Y = static_cast<float>(GroundY);
    A.Kind = T.Kind;
    A.SightRange = EnemySightRange;
    A.Heading = static_cast<float>(RandomReal() * 360);
}

// A bonus item in slot Slot; the random draws come in the order Z, X, bonus type, heading.
void PlaceBonus(int Slot) {
    Actor_Rec& A = Actors[Slot];
    A.Name = "Bonus " + std::to_string(Slot);
    A.ReloadTime = 0;
    A.ReloadTimer = 0;
    A.Width = 2.0;
    A.Length = 2.0;
    A.Height = 2.0;
    A.MaxShots = 0;
    A.ShotRange = 0;
    A.ShotPower = 0;
    A.ShotsBounce = false;
    A.Speed = 0;
    A.TurnSpeed = 0;
    A.ShotSpeed = 0;
    A.Energy = 1;
    A.ColorR = 1.0;
    A.ColorG = 1.0;
    A.ColorB = 1.0;
    A.Z = static_cast<float>(RandomCoordinate());
    A.X = static_cast<float>(RandomCoordinate());
    A.Y = static_cast<float>(GroundY);
    A.Kind = KindBonus;
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
    for (const ModelFile& File : ModelFiles) {
        File.Animator->reset();
        *File.Animator = std::make_unique<clsAnimate>(File.FileName, 1.0);
    }
}

// Block 4, first start only: tables, panel positions and the menu state.
void SetupFirstStartTables() {
    FillTrigTables();
    LogPanelX = 24.0;
    LogPanelY = 75.5;
    RadarPanelX = 1.0;
    RadarPanelY = 75.5;
    CompassPanelX = 1.0;
    CompassPanelY = 64.0;
    DragPanel = 0;
    AddLogLine("Game init complete!", 1.0, 0, 0);
    GameState = 1;
    MenuPage = 1;
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

void GameSetup() {
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
