// The arena: flat ground, the low wall around the play area, the ring of tree spots beyond it
// and the sky cube, compiled into two display lists at every game setup.
//
// Conventions: x to the right, y up, z towards the viewer at heading 0; world units. Every
// face is wound counter-clockwise as seen from the side it is meant to be seen from.
#pragma once
#include <cstdint>

struct TreeSpot {
    float X;    // world x of the tree's centre line
    float Z;    // world z
    float Size; // whole number 10..29; the tree is drawn Size * 5 high
};

constexpr int32_t TreeSpotCount = 100; // entries of TreeSpots, 25 on each side

constexpr float   GroundLevel = -180.0f; // y of the ground plane
constexpr float   WallTop = -160.0f;     // y of the top edge of the wall
constexpr int32_t WallHalfUnits = 50;    // the wall stands at +-WallHalfUnits * ArenaScale
constexpr int32_t GroundHalfUnits = 80;  // the ground spans +-GroundHalfUnits * ArenaScale
constexpr int32_t TreeBandUnits = 60;    // trees stand 60..80 * ArenaScale from the centre

extern TreeSpot TreeSpots[TreeSpotCount]; // overwritten by every generation
extern uint32_t ArenaList;                // display list: ground and wall
extern uint32_t SkyboxList;               // display list: the five faces of the sky cube
extern uint32_t SkyUpperList; // the sky above the eye's horizontal plane (SkyboxList calls both)
extern uint32_t SkyLowerList; // the sky below it, hidden by the wall while the eye is below its top

// Wall and ground half-extents for the current ArenaScale (500 and 800 with ArenaScale 10).
int32_t WallHalfExtent();
int32_t GroundHalfExtent();

// Logs "Generating terrain...", then BuildTerrain and BuildSkybox. Needs a current context and
// the textures loaded: the lists keep the texture names current at this moment.
void GenerateTerrain();

// Draws the 100 tree spots and compiles ArenaList (the previous list is deleted).
void BuildTerrain();

// Compiles SkyboxList and its two halves (the previous lists are deleted).
void BuildSkybox();
