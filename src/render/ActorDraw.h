// Drawing of the actors for the actor pass: the actor's transform and its model by kind.
//
// Conventions: every actor is drawn between BeginActorDrawing and EndActorDrawing, which save
// and restore the model-view matrix; the model calls draw in the actor's frame and colour.
#pragma once

#include "world/World.h"

// World units the tanks move per walk cycle. In "models/hero.mdl" a foot on the ground travels
// 2.0 model units back in its half of the cycle, so feet that never slid would need a cycle of
// 4 model units, 0.5 world units at the tank's scale: at full speed (50 units a second) that is
// 100 cycles a second, faster than any frame rate, and the legs would flicker at random. At 16
// units a tank at full speed takes about three cycles a second and at 60 frames a second shows
// every pose: the feet slide, but the legs read as walking in time with the speed.
constexpr double WalkStride = 16.0;

// World units an enemy tank drives per cycle of "models/tiger.mdl". Its cycle has no feet: half
// of it the tank drives as built, in the other half the hull rocks, the turret looks 20 degrees
// to each side and the gun lifts. Taken at the walker's pace the turret would wag three times a
// second; at this length a tank at full speed looks round about once in 1.3 seconds.
constexpr double DriveStride = 64.0;

// Steps beyond this (world units between two draws) are placements, not walking: a new battle,
// a respawn, or a player not drawn for a while. The walk then starts again from the rest pose.
constexpr double WalkJumpLimit = 50.0;

// What the walk of one actor slot has done up to its last draw.
struct WalkTrack_Rec {
    bool   Seen;   // X and Z hold the slot's position at a previous draw
    float  X;      // position at the last draw, world units
    float  Z;      //   depth
    double Walked; // distance into the current cycle, 0..its stride, world units
};
extern WalkTrack_Rec WalkTracks[ActorSlots]; // one per actor slot, parallel to Actors

// The distance an actor moves per cycle of its model: DriveStride for an enemy tank, WalkStride
// for the player's walker.
double StrideOf(const Actor_Rec& A);

// Follows an actor slot from its last draw to where it is now: the distance moved along its
// heading (negative when reversing) moves its place in the cycle on or back; a slot that has not
// moved stands, and its next step starts from the rest pose.
void TrackWalk(int Slot, const Actor_Rec& A);

// The pose 0..WalkPoses-1 the actor in a slot is shown in: 0, the rest pose, while it stands.
int WalkPose(int Slot, const Actor_Rec& A);

// Forgets every slot's walk, so each starts from the rest pose where it is next drawn.
void ResetWalkTracks();

// Saves the model-view matrix, moves to the actor, turns it by Heading - 180 about the vertical
// axis, sets its colour and scales it by (Width x 0.06, Height x 0.05, Length x 0.05).
void BeginActorDrawing(const Actor_Rec& A);

// The player's tank of slot Slot, tilted by -Throttle degrees about its own X axis: it leans
// with the throttle. With the walk cycles recorded it steps by the distance it has moved.
void DrawPlayerTankModel(int Slot, double Throttle);

// An enemy tank or a turret with its near or its far model. A near enemy tank steps through its
// cycle like the player's; the far model and the turrets stay still.
void DrawEnemyTankModel(int Slot, bool Near);
void DrawTurretModel(bool Near);

// A bonus item, drawn live through the shared bonus-model animator.
void DrawBonusModel();

// Restores the model-view matrix saved by BeginActorDrawing.
void EndActorDrawing();

// After the last actor: the colour back to white.
void EndActorPass();
