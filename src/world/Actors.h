// The per-frame actor pass: reloads, headings, drawing, enemy behaviour, the arena wall and smoke.
#pragma once

constexpr int ArenaWallMargin = 5; // actors keep this far inside the wall, in world units

// Walks slots 0..BattleSlotLast once per frame in the game: each living actor (and the player,
// alive or not) is updated, drawn and kept inside the arena. Runs inside the 3D drawing.
void UpdateActors();

// The behaviour of one enemy tank, turret or bonus item, run right after it has been drawn.
void EnemyThink(int Slot);
