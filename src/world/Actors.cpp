// The per-frame actor pass and the enemies' behaviour.
#include "world/Actors.h"

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/SettingValues.h"
#include "platform/Numbers.h"
#include "render/ActorDraw.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "world/Bonus.h"
#include "world/Shots.h"
#include "world/World.h"

namespace {

// Both headings of an enemy and the player are brought to 0..360 before the aim test, whose
// quadrant rules assume it.
void NormaliseHeadings(Actor_Rec& Enemy) {
    Actor_Rec& P = Actors[0];
    if (Enemy.Heading < 0) Enemy.Heading += 360;
    if (P.Heading < 0) P.Heading += 360;
}

double DistanceToPlayer(const Actor_Rec& A) {
    const Actor_Rec& P = Actors[0];
    return Distance2D(A.X, A.Z, P.X, P.Z);
}

// A tank turns left until the player is in its line of fire, always walks on and wanders.
void TankThink(int Slot) {
    Actor_Rec& A = Actors[Slot];
    if (DistanceToPlayer(A) < A.SightRange) {
        NormaliseHeadings(A);
        if (InLineOfFire(Slot, 0))
            FireShot(Slot);
        else
            A.Heading += (RandomReal() * 0.2 + 0.8) * A.TurnSpeed * SpeedFactor;
    }
    MoveActorForward(Slot, Round(A.Heading), 1.0);
    A.Heading += (0.5 - RandomReal()) * A.TurnSpeed * SpeedFactor;
}

// A turret turns right at its full rate while the player is in sight and fires when it can.
void TurretThink(int Slot) {
    Actor_Rec& A = Actors[Slot];
    if (DistanceToPlayer(A) >= A.SightRange) return;
    NormaliseHeadings(A);
    if (InLineOfFire(Slot, 0))
        FireShot(Slot);
    else
        A.Heading -= A.TurnSpeed * SpeedFactor;
}

// The heading is kept in 0..360 once per frame; the enemies' turns of one frame are small.
void TickReloadAndHeading(Actor_Rec& A) {
    if (A.ReloadTimer > 0) A.ReloadTimer -= SpeedFactor;
    if (A.Heading > 360) A.Heading -= 360;
    if (A.Heading < 0) A.Heading += 360;
}

// Draws actor Slot by its kind and runs its behaviour right after.
void DrawAndThink(int Slot) {
    const Actor_Rec& A = Actors[Slot];
    switch (A.Kind) {
    case KindPlayer:
        // In the cockpit view the player's own tank would fill the screen.
        if (!(Slot == 0 && CameraMode == 1)) DrawPlayerTankModel(Slot, PlayerVelocity);
        break;
    case KindTank:
        DrawEnemyTankModel(Slot, UsesNearModel(DistanceToPlayer(A)));
        EnemyThink(Slot);
        break;
    case KindTurret:
        DrawTurretModel(UsesNearModel(DistanceToPlayer(A)));
        EnemyThink(Slot);
        break;
    case KindBonus:
        DrawBonusModel();
        EnemyThink(Slot);
        break;
    default:
        break;
    }
}

// Clamps one coordinate into lo..hi; true when it had to.
bool ClampCoordinate(float& Value, float Lo, float Hi) {
    if (Value < Lo) {
        Value = Lo;
        return true;
    }
    if (Value > Hi) {
        Value = Hi;
        return true;
    }
    return false;
}

// An enemy that hit the wall steps back twice along its heading and turns left a little.
void BounceOffWall(int Slot) {
    Actor_Rec&    A = Actors[Slot];
    const int64_t D = Round(A.Heading);
    MoveActorBackward(Slot, D, 1.0);
    MoveActorBackward(Slot, D, 1.0);
    A.Heading += A.TurnSpeed * SpeedFactor;
}

// Z first, then X; the player is only clamped.
void KeepInsideArena(int Slot) {
    Actor_Rec&  A = Actors[Slot];
    const float Hi = float(50 * ArenaScale - ArenaWallMargin);
    const float Lo = -Hi;
    if (ClampCoordinate(A.Z, Lo, Hi) && Slot > 0) BounceOffWall(Slot);
    if (ClampCoordinate(A.X, Lo, Hi) && Slot > 0) BounceOffWall(Slot);
}

// Damaged tanks and turrets smoke, the weaker the more often; higher detail smokes more.
void EmitSmoke(const Actor_Rec& A) {
    if (A.Kind == KindBonus) return;
    if (!(2.0 * A.Energy < RandomReal() * DetailLevel * 25) || !(DetailLevel > RandomReal() * 3))
        return;
    // The three offsets are drawn in the order x, y, z.
    const double X = A.X + RandomInt(2) - 1;
    const double Y = A.Y + RandomInt(2) - 1;
    const double Z = A.Z + RandomInt(2) - 1;
    SpawnParticles(1, X, Y, Z, A.ColorR, A.ColorG, A.ColorB);
}

} // namespace

void EnemyThink(int Slot) {
    switch (Actors[Slot].Kind) {
    case KindTank:
        TankThink(Slot);
        break;
    case KindTurret:
        TurretThink(Slot);
        break;
    case KindBonus:
        BonusPickup(Slot);
        break;
    default:
        break;
    }
}

void UpdateActors() {
    for (int Slot = 0; Slot <= BattleSlotLast; ++Slot) {
        Actor_Rec& A = Actors[Slot];
        // The player's wreck stays in the pass: it is still drawn and smokes.
        if (Slot != 0 && A.Energy <= 0) continue;
        TickReloadAndHeading(A);
        BeginActorDrawing(A);
        DrawAndThink(Slot);
        KeepInsideArena(Slot);
        EmitSmoke(A);
        EndActorDrawing();
    }
    EndActorPass();
}
