// Scene rendering: the camera that follows the player, the sky cube, the arena, the tree
// billboards, and the display lists of the models and effect shapes compiled at every setup.
//
// Conventions: the camera yaw is the player's Heading while the player is alive and the
// player's DeathHeading after its destruction; every flat effect turns by it to face the view.
// No colour is set before the sky and the arena: they take whatever colour is current.
#pragma once
#include <cstdint>

extern uint32_t SphereList;    // "models/xpsphere.mdl": explosion sphere
extern uint32_t DiskList;      // "models/xpdisk.mdl": explosion disk
extern uint32_t HeroList;      // "models/hero.mdl": the player's tank
extern uint32_t TigerList;     // "models/tiger.mdl": enemy tank closer than DetailLevel * 200
extern uint32_t TurretList;    // "models/turret.mdl": turret closer than DetailLevel * 200
extern uint32_t TigerFarList;  // "models/tiger_f.mdl": enemy tank at DetailLevel * 200 or beyond
extern uint32_t TurretFarList; // "models/turret_f.mdl": turret at DetailLevel * 200 or beyond

// The walk cycles of the two near tank models, recorded at setup when AnimatedModels is on (all
// 0 otherwise). Pose P shows the model at frame 1 + P * Frames / WalkPoses of its cycle; pose 0,
// the cycle's first frame, is the rest pose a standing tank stands in: every foot on the ground.
constexpr int   WalkPoses = 16;
extern uint32_t HeroWalkLists[WalkPoses];  // "models/hero.mdl" through its walk cycle
extern uint32_t TigerWalkLists[WalkPoses]; // "models/tiger.mdl" through its drive cycle

constexpr double DetailDistanceStep = 200.0; // near models are used below DetailLevel * this
constexpr float  TreeBaseY          = -160.0f; // height the tree quads are placed at

extern uint32_t StarList; // display list of the five-pointed star, about 4 x 3 units

// Compiles StarList anew (every game setup, first of the model lists).
void CompileStarList();

// Compiles the eight lists in the order StarList (the menu's star, CompileStarList), SphereList, DiskList, HeroList, TigerList,
// TurretList, TigerFarList, TurretFarList, each model list recorded by one update of its
// animator. With AnimatedModels on, the two walk cycles follow, each pose recorded through the
// animator's Render with the model posed at that frame; the models are then put back at their
// starting frame.
void BuildModelLists();

// True while the context the last setup made its lists in is still current. Nothing makes a
// display list between a display-mode change and the next setup, so in a new context the old
// HeroList name is not a list.
bool SetupContextKept();

// Start of every setup: when the context is kept, deletes what the previous setup made that is
// about to be made again: the two font sheets (the font loader makes new ones without releasing
// the old), the colour maps of the models' materials, the menu's star list and the model lists. In a new context the old names are left alone, since they may
// already belong to new textures.
void ReleasePreviousSetup();

// Deletes the model lists (walk cycles included) of the previous setup. Game setup calls it before it makes any list,
// so that after a display-mode change (a new context) the old names cannot meet new lists.
void ReleaseModelLists();

// Sets the model-view transformation for the frame by CameraMode and draws the sky between the
// rotation and the translation. In the running game after the player's destruction the view
// circles the wreck.
void PlaceCamera();

// Blending on for the whole run (first game setup); each effect sets its own blend function.
void EnableSceneBlending();

// The sky cube, behind everything drawn after it. With blending off (the arena then covers
// what it hides completely) it is only noted with the current view and drawn by DrawArena after
// the arena, at the far end of the depth range and without depth writes, so the pixels the
// arena covers are filled once; with blending on it is drawn at once, followed by a depth clear.
// With LowerHidden only its part above the eye's horizon is drawn: the rest would be covered.
void DrawSky(bool LowerHidden = false);

// Whether the ground and the wall cover every view below the horizon from an eye at EyeY inside
// the walls, so the sky need not be drawn there.
bool WallHidesLowerSky(float EyeY);

// The ground and the arena wall, then the sky when DrawSky left it waiting. The texture bound
// afterwards is the arena's, as when the sky came first.
void DrawArena();

// The 100 tree billboards, additive and without depth writes, facing the view.
void DrawTrees();

// The yaw every billboard turns by: the player's Heading while alive, else DeathHeading.
float CameraYaw();

// True when an actor at this planar distance from the player is drawn with its near model.
bool UsesNearModel(double Distance);

// One shot sprite at (X, Y + 3, Z) of the given shot state, facing the view: the whole shot
// texture while flying, one cell of the 4 x 4 explosion atlas while exploding. SpinDegrees is
// the rotation in the screen plane; Hit selects the large explosion square of a shot that hit
// something this frame.
void DrawShotSprite(float X, float Y, float Z, int32_t Life, double SpinDegrees, int32_t Power,
                    bool Hit);

// Around the shot pass: shots write no depth, so sprites never hide one another.
void BeginShotPass();
void EndShotPass();

// The atlas cell an exploding shot of this Life shows: column Life mod 4, row by Life (0..3).
int ShotAtlasColumn(int32_t Life);
int ShotAtlasRow(int32_t Life);
