// Game setup: everything a battle needs, made at program start, at every new game and at every
// resume: sound, menu tree, tables, fonts, textures, models, terrain, display lists and, when a
// new battle is requested, the actors.
#pragma once
#include <memory>

class clsAnimate;

// The nine model animators of the current setup, made anew at every setup (the previous ones are
// released then). The game draws its models through them; only BonusModel is drawn live.
extern std::unique_ptr<clsAnimate> HeroModel;      // "models/hero.mdl": the player's tank
extern std::unique_ptr<clsAnimate> TigerModel;     // "models/tiger.mdl": enemy tank, near
extern std::unique_ptr<clsAnimate> TurretModel;    // "models/turret.mdl": turret, near
extern std::unique_ptr<clsAnimate> TurretFarModel; // "models/turret_f.mdl": turret, far
extern std::unique_ptr<clsAnimate> TigerFarModel;  // "models/tiger_f.mdl": enemy tank, far
extern std::unique_ptr<clsAnimate> BonusModel;     // "models/bonus.mdl": bonus item, drawn live
extern std::unique_ptr<clsAnimate> HouseModel;     // "models/house.mdl": loaded, never drawn
extern std::unique_ptr<clsAnimate> DiskModel;      // "models/xpdisk.mdl": explosion disk
extern std::unique_ptr<clsAnimate> SphereModel;    // "models/xpsphere.mdl": explosion sphere

// The model files in loading order with the animator each one fills: the one list of the
// setup's models, which the loading and the release of the previous setup's objects both walk.
struct SetupModel {
    const char*                  FileName;
    std::unique_ptr<clsAnimate>* Animator;
};
constexpr int          SetupModelCount = 9;
extern const SetupModel SetupModels[SetupModelCount];

extern bool ArenaFromFile; // the first setup reads "./lastarena.ini"; false keeps the arena in memory

// The world's setup blocks in order: first-start work, a new battle when NewGameRequested is 1,
// fonts, textures and models, first-start tables and game state, then terrain and display
// lists. Clears NewGameRequested after building a battle and FirstStart at its end. GameSetup
// (shell/GameEntry.h) runs it after the menu's part.
void SetupGameWorld();

// The new-battle block alone: the player, the event log, particles, actors and the shot table.
// Needs no OpenGL context.
void SetupNewBattle();

// A random placement coordinate for X or Z: r1 * ArenaScale * 25 - r2 * ArenaScale * 50, with
// two RandomReal draws in that order. Spans -500..250 with ArenaScale 10.
double RandomCoordinate();
