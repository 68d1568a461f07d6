// Drawing of the actors for the actor pass.
#include "render/ActorDraw.h"

#include <GL/gl.h>
#include <cmath>
#include <numbers>

#include "core/SettingValues.h"
#include "model/Animate.h"
#include "render/Scene.h"
#include "world/Setup.h"
#include "world/World.h"

WalkTrack_Rec WalkTracks[ActorSlots];

namespace {

// Below this an actor has not moved between two draws, world units.
constexpr double StandingStep = 1e-6;

// A list of a walk cycle when it has been recorded at setup, else the still model. Switching
// AnimatedModels off (a "Load") stills the tanks at once; on, they walk from the next setup.
uint32_t WalkList(const uint32_t (&Cycle)[WalkPoses], uint32_t Still, int Slot) {
    return AnimatedModels && Cycle[0] != 0 ? Cycle[WalkPose(Slot, Actors[Slot])] : Still;
}

} // namespace

double StrideOf(const Actor_Rec& A) {
    return A.Kind == KindTank ? DriveStride : WalkStride;
}

void TrackWalk(int Slot, const Actor_Rec& A) {
    WalkTrack_Rec& T = WalkTracks[Slot];
    const double   DX = double(A.X) - T.X;
    const double   DZ = double(A.Z) - T.Z;
    // Heading h faces (-sin h, 0, -cos h): the step along it is positive forwards.
    const double Radians = A.Heading * std::numbers::pi / 180.0;
    const double Step = -DX * std::sin(Radians) - DZ * std::cos(Radians);
    if (!T.Seen || std::hypot(DX, DZ) > WalkJumpLimit || std::fabs(Step) < StandingStep) {
        T.Walked = 0; // standing, or just placed: the rest pose
    } else {
        const double Stride = StrideOf(A);
        T.Walked = std::fmod(T.Walked + Step, Stride);
        if (T.Walked < 0) T.Walked += Stride;
    }
    T.Seen = true;
    T.X = A.X;
    T.Z = A.Z;
}

int WalkPose(int Slot, const Actor_Rec& A) {
    const int Pose = int(WalkTracks[Slot].Walked / StrideOf(A) * WalkPoses);
    return Pose < 0 ? 0 : Pose % WalkPoses;
}

void ResetWalkTracks() {
    for (WalkTrack_Rec& T : WalkTracks)
        T = WalkTrack_Rec{};
}

void BeginActorDrawing(const Actor_Rec& A) {
    glPushMatrix();
    glTranslatef(A.X, A.Y, A.Z);
    // The models are built facing +Z; turning by half a circle makes them face the heading.
    glRotatef(A.Heading - 180.0f, 0.0f, 1.0f, 0.0f);
    glColor3f(float(A.ColorR), float(A.ColorG), float(A.ColorB));
    glScalef(float(A.Width * 0.06), float(A.Height * 0.05), float(A.Length * 0.05));
}

void DrawPlayerTankModel(int Slot, double Throttle) {
    TrackWalk(Slot, Actors[Slot]);
    glRotatef(float(-Throttle), 1.0f, 0.0f, 0.0f);
    glCallList(WalkList(HeroWalkLists, HeroList, Slot));
}

void DrawEnemyTankModel(int Slot, bool Near) {
    TrackWalk(Slot, Actors[Slot]); // also far away, so the step goes on when it comes near
    glCallList(Near ? WalkList(TigerWalkLists, TigerList, Slot) : TigerFarList);
}

void DrawTurretModel(bool Near) {
    glCallList(Near ? TurretList : TurretFarList);
}

void DrawBonusModel() {
    if (BonusModel) BonusModel->Update();
}

void EndActorDrawing() {
    glPopMatrix();
}

void EndActorPass() {
    glColor3f(1.0f, 1.0f, 1.0f);
}
