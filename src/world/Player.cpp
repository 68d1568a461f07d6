// The player's tank control: throttle, steering, blocking and the fire latch.
#include "world/Player.h"

#include "core/GameState.h"
#include "core/InputState.h"
#include "platform/Numbers.h"
#include "world/Actors.h"
#include "world/Shots.h"
#include "world/World.h"

#include <algorithm>

bool FireLatch = false;

namespace {

constexpr int KeyA = 65; // virtual-key code of the letter A, the other fire key

// A game controller's stick builds the throttle as the keys do, but only up to its deflection,
// so it is never faster than the keys; the keys win while one is held.
void ApplyStickThrottle(const Actor_Rec& P) {
    if (Keys[KeyUp] || Keys[KeyDown] || PadThrottle == 0.0)
        return;
    if (PadThrottle > 0.0 && PlayerVelocity < PadThrottle)
        PlayerVelocity = std::min(PlayerVelocity + P.Acceleration * SpeedFactor, PadThrottle);
    else if (PadThrottle < 0.0 && PlayerVelocity > PadThrottle)
        PlayerVelocity = std::max(PlayerVelocity - P.Acceleration * SpeedFactor, PadThrottle);
}

// Up and down build the throttle; up wins when both are held because it clears down first.
void ApplyThrottle(const Actor_Rec& P) {
    if (PlayerVelocity > -PlayerDeadZone && PlayerVelocity < PlayerDeadZone && !Keys[KeyUp] &&
        !Keys[KeyDown] && PadThrottle == 0.0)
        PlayerVelocity = 0.0;
    if (Keys[KeyUp]) {
        PlayerVelocity += P.Acceleration * SpeedFactor;
        if (PlayerVelocity > 1.0) PlayerVelocity = 1.0;
        Keys[KeyDown] = false;
    }
    if (Keys[KeyDown]) {
        PlayerVelocity -= P.Acceleration * SpeedFactor;
        if (PlayerVelocity < -1.0) PlayerVelocity = -1.0;
        Keys[KeyUp] = false;
    }
    ApplyStickThrottle(P);
}

// The throttle decays on its own by half the acceleration; it may overshoot zero slightly,
// which the dead zone of the next frame removes.
void ApplyDrag(const Actor_Rec& P) {
    if (PlayerVelocity > 0.0)
        PlayerVelocity -= P.Acceleration / 2.0 * SpeedFactor;
    else if (PlayerVelocity < 0.0)
        PlayerVelocity += P.Acceleration / 2.0 * SpeedFactor;
}

// Living tanks and turrets within contact range stop the player; bonus items never do.
bool TouchesBlockingActor(const Actor_Rec& P) {
    for (int i = 1; i <= BattleSlotLast; ++i) {
        const Actor_Rec& Other = Actors[i];
        if (Other.Kind == KindBonus || Other.Energy <= 0) continue;
        if (ManhattanDistance(P.X, P.Z, Other.X, Other.Z) < PlayerContactRange) return true;
    }
    return false;
}

// Right wins when both are held: it clears left before left is looked at.
void ApplySteering(Actor_Rec& P) {
    if (Keys[KeyRight]) {
        P.Heading -= P.TurnSpeed * SpeedFactor;
        Keys[KeyLeft] = false;
    }
    if (Keys[KeyLeft]) {
        P.Heading += P.TurnSpeed * SpeedFactor;
        Keys[KeyRight] = false;
    }
    // The stick turns in proportion to its deflection (at most the keys' rate) while no key does.
    if (!Keys[KeyRight] && !Keys[KeyLeft] && PadTurn != 0.0)
        P.Heading -= P.TurnSpeed * SpeedFactor * PadTurn;
}

// One shot per press: the latch holds until both fire keys are up.
void ApplyFireKeys() {
    const bool FireHeld = Keys[KeyA] || Keys[KeySpace];
    if (!FireHeld)
        FireLatch = false;
    else if (!FireLatch) {
        FireLatch = true;
        FireShot(0);
    }
}

} // namespace

bool ControlPlayerTank() {
    Actor_Rec&    P = Actors[0];
    const float   StartX = P.X;
    const float   StartZ = P.Z;
    const int64_t D = Round(P.Heading);
    if (P.Energy <= 0) return false;
    ApplyThrottle(P);
    if (PlayerVelocity != 0.0) MoveActorForward(0, D, PlayerVelocity);
    ApplyDrag(P);
    if (TouchesBlockingActor(P)) {
        P.X = StartX;
        P.Z = StartZ;
        return true;
    }
    ApplySteering(P);
    ApplyFireKeys();
    return false;
}
