// Shots, hits and kills: firing, the shot pass and the consequences of a hit.
#include "world/Shots.h"

#include <cmath>
#include <numbers>
#include <string>

#include "core/EventLog.h"
#include "core/GameState.h"
#include "core/InputState.h"
#include "core/SettingValues.h"
#include "platform/Numbers.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "sound/Sound.h"
#include "world/Setup.h"
#include "world/World.h"

Shot_Rec Shots[ShotSlots];

namespace {

constexpr double  ShotLead       = 8.0;  // shots start this far ahead of the shooter
constexpr double  ShotDrop       = 2.0;  // ... and this far below it
constexpr double  ShotAgeing     = 10.0; // flying Life lost per unit of SpeedFactor
constexpr int32_t AlarmEnergy    = 25;   // the player's alarm sounds when energy falls below it
constexpr double  SpinWrap       = 360.0;

// Explosion size and respawn energy by ActorKind (slot 0 a blank sentinel).
constexpr float   ExplosionSizeByKind[5]  = {0.0f, 3.0f, 2.0f, 1.5f, 0.4f};
constexpr int32_t RespawnEnergyByKind[5] = {0, 0, 100, 300, 1};

// Kill messages: victim, text, owner, text; the self-kill ones name only the victim.
struct KillMessage {
    const char* AfterVictim; // follows the victim's name
    const char* AfterOwner;  // follows the owner's name (unused for self-kills)
};
constexpr KillMessage KillMessages[3] = {
    {" destroyed by ", ""},
    {" felt ", "'s wrath!"},
    {" was killed by ", ""},
};
constexpr const char* SelfKillMessages[3] = {
    " commited suicide!",
    " decided that life was boring!",
    " destroyed himself!",
};

int KindIndex(int32_t Kind) { return (Kind >= 1 && Kind <= 4) ? Kind : 0; }

std::string KillText(int Victim, int Owner) {
    const int64_t      R = Trunc(RandomReal() * 3);
    const std::string& V = Actors[Victim].Name;
    if (Victim == Owner)
        return V + SelfKillMessages[R];
    return V + KillMessages[R].AfterVictim + Actors[Owner].Name + KillMessages[R].AfterOwner;
}

// The victim's energy has run out: explosion, message, and with respawn on a new life elsewhere.
void DestroyActor(int Victim, int Owner) {
    Actor_Rec& A = Actors[Victim];
    SpawnExplosion(A.X, A.Y, A.Z, Victim == 0 ? ExplosionSizeByKind[KindPlayer]
                                              : ExplosionSizeByKind[KindIndex(A.Kind)]);
    PlaySoundAt(SndExplosionBig, A.X, A.Y, A.Z);
    AddLogLine(KillText(Victim, Owner), 1.0, 0, 0);
    A.Energy = 0;
    A.DeathHeading = A.Heading;
    if (ArenaRespawn && Victim != 0) {
        A.Energy = RespawnEnergyByKind[KindIndex(A.Kind)];
        A.Z = static_cast<float>(RandomCoordinate());
        A.X = static_cast<float>(RandomCoordinate());
    }
    if (Victim == 0)
        CameraMode = 2;
}

// A wall contact on one axis: the sound, the shot put back on the wall, the velocity
// reversed, an explosion for shots that do not bounce, and green sparks.
void HitWall(Shot_Rec& S, float& Position, float& Velocity, float Wall) {
    PlaySoundAt(SndHitWall, S.X, S.Y, S.Z);
    Position = Wall;
    Velocity = -Velocity;
    if (!S.Bounces)
        S.Life = ShotExplodeLife;
    SpawnParticles(static_cast<int32_t>(Trunc(DetailLevel * 10 / 3.0)), S.X, S.Y, S.Z, 0, 0.9, 0);
}

void WallTests(Shot_Rec& S) {
    const float Wall = 50.0f * ArenaScale;
    if (S.X < -Wall)
        HitWall(S, S.X, S.VX, -Wall);
    if (S.X > Wall)
        HitWall(S, S.X, S.VX, Wall);
    if (S.Z < -Wall)
        HitWall(S, S.Z, S.VZ, -Wall);
    if (S.Z > Wall)
        HitWall(S, S.Z, S.VZ, Wall);
}

// Tests shot K against the battle's actor slots: the lowest slot in reach takes the hit,
// further overlaps of an exploding shot only shorten its explosion. True when anything was in
// reach. A shot that has not moved yet passes through its owner.
bool TestHits(int K) {
    Shot_Rec& S = Shots[K];
    bool      Hit = false;
    for (int I = 0; I <= BattleSlotLast; I++) {
        const Actor_Rec& A = Actors[I];
        if (A.Energy <= 0 || ManhattanDistance(S.X, S.Z, A.X, A.Z) >= ShotHitDistance)
            continue;
        if (I == S.Owner && !S.Moved)
            continue;
        Hit = true;
        if (S.Life <= ShotExplodeLife)
            S.Life -= 1;
        else
            ApplyHit(K, I);
    }
    return Hit;
}

// Drawing of one shot, with the smoke trail of an exploding shot.
void DrawShot(Shot_Rec& S, bool Hit) {
    if (S.Life < ShotExplodeLife && DetailLevel > RandomReal() * 3)
        SpawnParticles(1, S.X, S.Y, S.Z, S.ColorR, S.ColorG, S.ColorB);
    DrawShotSprite(S.X, S.Y, S.Z, S.Life, S.Spin * SpeedFactor, S.Power, Hit);
    if (S.Life >= 0) {
        S.Spin += 1;
        if (S.Spin > SpinWrap)
            S.Spin = 0;
    }
}

// Pieces of this frame's move: one per unit of SpeedFactor (a frame's flight at 50 frames per
// second), more when a piece would still be longer than ShotSubStepMost.
int MoveSubSteps(const Shot_Rec& S) {
    const double Length = (std::fabs(S.VX) + std::fabs(S.VZ)) * SpeedFactor;
    double       Steps = std::ceil(SpeedFactor);
    const double ByLength = std::ceil(Length / ShotSubStepMost);
    if (ByLength > Steps)
        Steps = ByLength;
    if (!(Steps >= 1)) // also a NaN
        return 1;
    return Steps > ShotSubStepsMost ? ShotSubStepsMost : static_cast<int>(Steps);
}

// The flight of one frame, piece by piece: each piece moves and meets the wall, and every
// point but the last is tested against the actors (the next frame's pass tests the last, after
// the actors have moved). The shot stops where it hits or explodes at the wall.
void FlyShot(int K) {
    Shot_Rec&   S = Shots[K];
    const int   Steps = MoveSubSteps(S);
    const float Piece = SpeedFactor / static_cast<float>(Steps);
    for (int J = 1; J <= Steps; J++) {
        S.X += S.VX * Piece;
        S.Y += S.VY * Piece;
        S.Z += S.VZ * Piece;
        WallTests(S);
        if (S.Life <= ShotExplodeLife || (J < Steps && TestHits(K)))
            break;
    }
}

// Ageing, moving and the wall tests of a shot still in play.
void MoveShot(int K, bool Hit) {
    Shot_Rec& S = Shots[K];
    if (!Hit) {
        if (S.Life > ShotExplodeLife)
            S.Life = static_cast<int32_t>(Trunc(S.Life - ShotAgeing * SpeedFactor));
        else
            S.Life -= 1;
    }
    if (S.Life > ShotExplodeLife)
        FlyShot(K);
    else
        WallTests(S);
    S.Moved = true;
}

} // namespace

void FireShot(int Actor) {
    Actor_Rec& A = Actors[Actor];
    if (A.ShotsInFlight >= A.MaxShots || A.ReloadTimer > 0)
        return;
    int K = 0;
    while (K < ShotFireSlots && Shots[K].Life > ShotFreeLife)
        K++;
    if (K == ShotFireSlots)
        return;
    A.ReloadTimer = A.ReloadTime;

    Shot_Rec& S = Shots[K];
    S.Bounces = A.ShotsBounce;
    S.Life = A.ShotRange;
    S.ColorR = static_cast<float>(A.ColorR);
    S.ColorG = static_cast<float>(A.ColorG);
    S.ColorB = static_cast<float>(A.ColorB);
    const int64_t D = Trunc(A.Heading);
    S.X = static_cast<float>(A.X - SinTableAt(D) * ShotLead);
    S.Y = static_cast<float>(A.Y - ShotDrop);
    S.Z = static_cast<float>(A.Z - CosTableAt(D) * ShotLead);
    // The exact sine and cosine, not the tables: the velocity follows the heading's fraction.
    const double Radians = A.Heading * std::numbers::pi / 180;
    const double Speed = -(A.Speed + 1.0) * A.ShotSpeed;
    S.VX = static_cast<float>(std::sin(Radians) * Speed);
    S.VZ = static_cast<float>(std::cos(Radians) * Speed);
    S.VY = 0;
    S.Spin = RandomInt(360);
    S.Power = A.ShotPower;
    S.Owner = static_cast<int16_t>(Actor);
    S.Moved = false;

    A.ShotsInFlight += 1;
    PlaySoundAt(SndShot, A.X, A.Y, A.Z);
}

void UpdateShots() {
    BeginShotPass();
    for (int K = 0; K < ShotSlots; K++) {
        Shot_Rec& S = Shots[K];
        if (S.Life < 0)
            continue;
        const bool Hit = TestHits(K);
        DrawShot(S, Hit);
        if (S.Life >= 0)
            MoveShot(K, Hit);
        // A long frame can age a shot from flight straight past ShotFreeLife: it is still
        // released, or its owner would count it against MaxShots for ever.
        if (S.Life < 0) {
            Actors[S.Owner].ShotsInFlight -= 1;
            S.Life = ShotFreeLife;
        }
    }
    EndShotPass();
}

void ApplyHit(int Shot, int Actor) {
    Shot_Rec&  S = Shots[Shot];
    Actor_Rec& A = Actors[Actor];
    S.Life = ShotExplodeLife;
    S.ColorR = static_cast<float>(A.ColorR);
    S.ColorG = static_cast<float>(A.ColorG);
    S.ColorB = static_cast<float>(A.ColorB);

    const int32_t Before = A.Energy;
    int32_t       Damage = S.Power - static_cast<int32_t>(Trunc(RandomReal() * 2));
    // A blow larger than what is left deals five times the remainder.
    if (Before - Damage < 0)
        Damage = 5 * Before;
    A.Energy -= Damage;

    if (Actor != 0 && S.Owner == 0)
        Score += Damage;
    if (Actor == 0) {
        Score -= Damage;
        AddLogLine("Hit by " + Actors[S.Owner].Name, 1.0, 0, 0);
        if (Before >= AlarmEnergy && A.Energy < AlarmEnergy) {
            PlaySoundAt(SndAlarm, A.X, A.Y, A.Z);
            PlaySoundAt(SndHeart, A.X, A.Y, A.Z);
            RadarWorking = false;
        }
    }
    if (A.Energy <= 0)
        DestroyActor(Actor, S.Owner);
    PlaySoundAt(SndExplosionSmall, A.X, A.Y, A.Z);
    SpawnParticles(static_cast<int32_t>(Trunc(DetailLevel * 5 / 3.0)), S.X, S.Y, S.Z, A.ColorR,
                   A.ColorG, A.ColorB);
}

void ResetShots() {
    for (Shot_Rec& S : Shots) {
        S.Life = ShotFreeLife;
        S.Bounces = true;
    }
}
