// The actor table, the battle's globals, the whole-degree trigonometry tables and the shared
// distance, movement and aim helpers.
#include "world/World.h"

#include <cmath>

#include "core/GameState.h"
#include "platform/Numbers.h"

Actor_Rec Actors[ActorSlots];
int32_t   Score = 0;
double    PlayerVelocity = 0.0;
int32_t   ArenaScale = 10;
int32_t   NewGameRequested = 1;
bool      RadarWorking = false;
bool      RadarShowsShots = false;
double    SinTable[TrigEntries];
double    CosTable[TrigEntries];

static constexpr long double PiExtended = 3.141592653589793238462643383279502884L;

void FillTrigTables() {
    for (int D = -TrigOffset; D <= TrigOffset; ++D) {
        const long double Radians = D * PiExtended / 180.0L;
        SinTable[D + TrigOffset] = double(std::sin(Radians));
        CosTable[D + TrigOffset] = double(std::cos(Radians));
    }
}

int64_t WrapDegreeIndex(int64_t Degrees) {
    if (Degrees >= -TrigOffset && Degrees <= TrigOffset)
        return Degrees;
    return Degrees % 360; // C++ keeps the sign of the dividend: -370 becomes -10
}

double SinTableAt(int64_t Degrees) { return SinTable[WrapDegreeIndex(Degrees) + TrigOffset]; }
double CosTableAt(int64_t Degrees) { return CosTable[WrapDegreeIndex(Degrees) + TrigOffset]; }

double Distance2D(double X1, double Z1, double X2, double Z2) {
    return std::sqrt((X1 - X2) * (X1 - X2) + (Z1 - Z2) * (Z1 - Z2));
}

double ManhattanDistance(double X1, double Z1, double X2, double Z2) {
    return std::fabs(Z2 - Z1) + std::fabs(X2 - X1);
}

void MoveActorForward(int Actor, int64_t Degrees, double Throttle) {
    Actor_Rec& A = Actors[Actor];
    A.Z -= float(CosTableAt(Degrees) * A.Speed * SpeedFactor * Throttle);
    A.X -= float(SinTableAt(Degrees) * A.Speed * SpeedFactor * Throttle);
}

void MoveActorBackward(int Actor, int64_t Degrees, double Throttle) {
    Actor_Rec& A = Actors[Actor];
    A.Z += float(CosTableAt(Degrees) * A.Speed * SpeedFactor * Throttle);
    A.X += float(SinTableAt(Degrees) * A.Speed * SpeedFactor * Throttle);
}

// The sine half of the aim test: the target must lie on the side the shooter faces. The
// bounds are strict, so a heading of exactly 0, 90, 180, 270 or 360 never passes.
static bool TargetInFacingQuadrant(const Actor_Rec& S, const Actor_Rec& T) {
    const float H = S.Heading;
    if (H > 0 && H < 90)
        return S.X > T.X && S.Z > T.Z;
    if (H > 90 && H < 180)
        return S.X > T.X && S.Z < T.Z;
    if (H > 180 && H < 270)
        return S.X < T.X && S.Z < T.Z;
    if (H > 270 && H < 360)
        return S.X < T.X && S.Z > T.Z;
    return false;
}

bool InLineOfFire(int Shooter, int Target) {
    const Actor_Rec& S = Actors[Shooter];
    const Actor_Rec& T = Actors[Target];
    if (T.Energy <= 0)
        return false;
    const double Dist = Distance2D(S.X, S.Z, T.X, T.Z);
    if (Dist == 0)
        return false;
    // The cosine of the heading and the Z part of the direction to the target must agree
    // when quantised to 1/P; P grows from 50 up close to 100 at 1000 units and beyond.
    const double  P = Dist > 1000 ? 100.0 : double(Trunc((Dist / 2 + 500) / 10));
    const int64_t A = Trunc(std::cos(S.Heading * M_PI / 180) * P);
    const int64_t B = Trunc(P * (double(S.Z) - double(T.Z)) / Dist);
    if (A != B)
        return false;
    return TargetInFacingQuadrant(S, T);
}
