// Scene rendering: camera, sky, arena, trees, shot sprites and the model display lists.
#include "render/Scene.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/SettingValues.h"
#include "model/Animate.h"
#include "render/OrinGLFont.h"
#include "render/Sprites.h"
#include "render/Terrain.h"
#include "render/Textures.h"
#include "world/Setup.h"
#include "world/World.h"

uint32_t StarList = 0;
uint32_t SphereList;
uint32_t DiskList;
uint32_t HeroList;
uint32_t TigerList;
uint32_t TurretList;
uint32_t TigerFarList;
uint32_t TurretFarList;
uint32_t HeroWalkLists[WalkPoses];
uint32_t TigerWalkLists[WalkPoses];

namespace {

constexpr float DeathViewTurn = 0.2f; // degrees per unit of SpeedFactor the death view circles by
constexpr float TreeHalfWidth = 50.0f;
constexpr float ShotLift      = 3.0f; // shot sprites are drawn this far above the shot

// The model lists after the star, in compile order, with the animator each is recorded from.
struct ModelList {
    uint32_t*                    List;
    std::unique_ptr<clsAnimate>* Animator;
};
const ModelList ModelLists[] = {
    {&SphereList, &SphereModel},     {&DiskList, &DiskModel},
    {&HeroList, &HeroModel},         {&TigerList, &TigerModel},
    {&TurretList, &TurretModel},     {&TigerFarList, &TigerFarModel},
    {&TurretFarList, &TurretFarModel},
};

// The walk cycles, recorded after the lists above from the near tank models.
struct WalkCycle {
    uint32_t*                    Lists;
    std::unique_ptr<clsAnimate>* Animator;
};
const WalkCycle WalkCycles[] = {
    {HeroWalkLists, &HeroModel},
    {TigerWalkLists, &TigerModel},
};

// Poses the model at frame T of its cycle. AdvanceAnimation by nothing keeps Time where it is
// put and poses every bone. A cycle runs from frame 1 for Frames frames (its last key, at
// 1 + Frames, repeats the first), so the poses 1 + Frames * P / WalkPoses stay within Frames.
void PoseModelAt(clsModel& Model, float T) {
    Model.Time = T;
    Model.AdvanceAnimation(0.0f);
}

// One list per pose, evenly spaced over the cycle from its first frame; afterwards the model is
// back at the frame its file starts in, so anything else drawing it sees the usual still model.
// A model without a cycle (one frame) gives the same pose in every list.
void RecordWalkCycle(const WalkCycle& Cycle) {
    clsAnimate* Animator = Cycle.Animator->get();
    clsModel*   Model = Animator ? Animator->Model.get() : nullptr;
    const float StartTime = Model ? Model->Time : 0.0f;
    for (int Pose = 0; Pose < WalkPoses; Pose++) {
        Cycle.Lists[Pose] = glGenLists(1);
        glNewList(Cycle.Lists[Pose], GL_COMPILE);
        if (Model) {
            if (Model->Frames > 1.0f)
                PoseModelAt(*Model, 1.0f + Model->Frames * Pose / WalkPoses);
            Animator->Render(*Model);
        }
        glEndList();
    }
    if (Model && Model->Frames > 1.0f)
        PoseModelAt(*Model, StartTime);
}

void ReleaseTexture(uint32_t& Name) {
    if (Name != 0 && glIsTexture(Name))
        glDeleteTextures(1, &Name);
    Name = 0;
}

double SinDegrees(double Degrees) { return std::sin(Degrees * std::numbers::pi / 180); }
double CosDegrees(double Degrees) { return std::cos(Degrees * std::numbers::pi / 180); }

// The yaw of the chase views: after the player's destruction in a running game the view
// circles the wreck, otherwise it looks along the tank's heading.
void ChaseYaw(Actor_Rec& P) {
    if (P.Energy == 0 && GameState == 2) {
        glRotatef(-P.DeathHeading, 0, 1, 0);
        P.DeathHeading += DeathViewTurn * SpeedFactor;
    } else {
        glRotatef(-P.Heading, 0, 1, 0);
    }
}

// Chase translation: Back units behind the tank along Angle and Up units above it.
void ChaseTranslate(const Actor_Rec& P, double Angle, double Back, double Up) {
    glTranslatef(static_cast<float>(-P.X - Back * SinDegrees(Angle)), static_cast<float>(-P.Y - Up),
                 static_cast<float>(-P.Z - Back * CosDegrees(Angle)));
}

} // namespace

bool SetupContextKept() { return HeroList != 0 && glIsList(HeroList); }

void ReleasePreviousSetup() {
    if (!SetupContextKept())
        return; // a new context: the old names died with the old one
    for (OrinGLF* Font : {&SmallFont, &BigFont})
        ReleaseTexture(Font->Texture);
    for (const SetupModel& Entry : SetupModels) {
        const std::unique_ptr<clsAnimate>& Animator = *Entry.Animator;
        if (!Animator || !Animator->Model)
            continue;
        for (clsMaterial& Material : Animator->Model->Materials)
            ReleaseTexture(Material.Texture);
    }
    if (StarList != 0 && glIsList(StarList))
        glDeleteLists(StarList, 1); // CompileStarList makes a new one without releasing it
    StarList = 0;
    ReleaseModelLists();
}

void ReleaseModelLists() {
    for (const ModelList& Entry : ModelLists) {
        if (*Entry.List != 0)
            glDeleteLists(*Entry.List, 1);
        *Entry.List = 0;
    }
    for (const WalkCycle& Cycle : WalkCycles) {
        for (int Pose = 0; Pose < WalkPoses; Pose++) {
            if (Cycle.Lists[Pose] != 0)
                glDeleteLists(Cycle.Lists[Pose], 1);
            Cycle.Lists[Pose] = 0;
        }
    }
}

void CompileStarList() {
    StarList = glGenLists(1);
    glNewList(StarList, GL_COMPILE);
    glBegin(GL_POLYGON); // traced point to point, so the outline crosses itself
    glVertex3f(3, 1, 0);
    glVertex3f(1, 4, 0);
    glVertex3f(5, 2, 0);
    glVertex3f(1, 2, 0);
    glVertex3f(4, 4, 0);
    glVertex3f(3, 1, 0);
    glEnd();
    glEndList();
}

void BuildModelLists() {
    CompileStarList();
    for (const ModelList& Entry : ModelLists) {
        *Entry.List = glGenLists(1);
        glNewList(*Entry.List, GL_COMPILE);
        if (*Entry.Animator)
            (*Entry.Animator)->Update();
        glEndList();
    }
    for (const WalkCycle& Cycle : WalkCycles) {
        if (AnimatedModels)
            RecordWalkCycle(Cycle);
        else // after a display-mode change the old names were never released: forget them
            std::fill_n(Cycle.Lists, WalkPoses, 0u);
    }
}

void PlaceCamera() {
    Actor_Rec& P = Actors[0];
    switch (CameraMode) {
    case 1:
        glRotatef(-P.Heading, 0, 1, 0);
        DrawSky(WallHidesLowerSky(P.Y + 1));
        glTranslatef(-P.X, -P.Y - 1, -P.Z);
        break;
    case 2:
    case 3:
        glRotatef(10, 1, 0, 0);
        ChaseYaw(P);
        // The sky is drawn after the rotation and before the translation: it turns with the
        // view but never moves.
        DrawSky(WallHidesLowerSky(P.Y + 5));
        if (P.Energy <= 0)
            ChaseTranslate(P, P.DeathHeading, 20, 5);
        else if (CameraMode == 2)
            ChaseTranslate(P, P.Heading, 15, 4);
        else
            ChaseTranslate(P, P.Heading, 20, 5);
        break;
    default:
        DrawSky();
        break;
    }
}

bool WallHidesLowerSky(float EyeY) {
    // Inside the walls and below their top, every downward view meets the ground or a wall
    // (opaque, drawn later) before the sky; the farthest wall point, 2 sqrt 2 half extents
    // away, lies well inside the far plane at 1500.
    return EyeY < WallTop && WallHalfExtent() * 2.83f < 1400.0f;
}

namespace {

// The sky of this frame when it waits for the arena: its list and the view it is seen in.
struct WaitingSky {
    bool    Waiting = false;
    GLuint  List = 0;
    GLfloat View[16] = {};
} Sky;

// The waiting sky, at the far end of the depth range where the arena left the cleared depth:
// the wall and ground hide most of it, and their pixels are not filled twice. It writes no
// depth, so later drawing sees the arena's depth only, as after the clear in DrawSky.
void DrawWaitingSky() {
    Sky.Waiting = false;
    GLint Bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &Bound);
    glPushMatrix();
    glLoadMatrixf(Sky.View);
    glDepthRange(1, 1);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glCallList(Sky.List);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDepthRange(0, 1);
    glPopMatrix();
    glBindTexture(GL_TEXTURE_2D, GLuint(Bound)); // the arena's, as the actors expect it
}

} // namespace

void DrawSky(bool LowerHidden) {
    glEnable(GL_TEXTURE_2D);
    const GLuint List = LowerHidden && SkyUpperList != 0 ? SkyUpperList : SkyboxList;
    if (!glIsEnabled(GL_BLEND)) {
        // The arena is opaque when blending is off, so whatever it covers of the sky never
        // shows: the sky waits and fills only what the arena leaves (DrawArena).
        Sky.Waiting = true;
        Sky.List = List;
        glGetFloatv(GL_MODELVIEW_MATRIX, Sky.View);
        return;
    }
    glCallList(List);
    // Clearing depth after the sky puts it behind everything drawn later.
    glClear(GL_DEPTH_BUFFER_BIT);
}

void DrawArena() {
    glEnable(GL_TEXTURE_2D);
    glCallList(ArenaList);
    if (Sky.Waiting)
        DrawWaitingSky();
}

void DrawTrees() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, TexTree);
    glColor4f(1, 1, 1, 1);
    // Additive and without depth writes: trees brighten what is behind them and never hide one
    // another, whatever order they are drawn in.
    glDepthMask(GL_FALSE);
    const float Yaw = CameraYaw();
    for (const TreeSpot& Spot : TreeSpots) {
        glPushMatrix();
        glTranslatef(Spot.X, TreeBaseY, Spot.Z);
        glRotatef(Yaw, 0, 1, 0);
        const float Top = Spot.Size * 5 - TreeHalfWidth;
        DrawSpriteShape(TreeShape, -TreeHalfWidth, -TreeHalfWidth, TreeHalfWidth, Top, 0, 0, 1, 1);
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

float CameraYaw() {
    const Actor_Rec& P = Actors[0];
    return P.Energy > 0 ? P.Heading : P.DeathHeading;
}

bool UsesNearModel(double Distance) { return Distance < DetailLevel * DetailDistanceStep; }

int ShotAtlasColumn(int32_t Life) { return Life % 4; }

// The explosion runs through the atlas from the top row down as its Life falls from 32 to 0.
int ShotAtlasRow(int32_t Life) {
    const int Row = (32 - Life) / 8;
    return Row < 0 ? 0 : (Row > 3 ? 3 : Row);
}

namespace {
ViewVolume ShotView; // the view of the current shot pass
} // namespace

void DrawShotSprite(float X, float Y, float Z, int32_t Life, double SpinDegrees, int32_t Power,
                    bool Hit) {
    glPushMatrix();
    glTranslatef(X, Y + ShotLift, Z);
    glColor4f(1, 1, 1, 0.9f);
    if (Life >= 0) {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        const bool Flying = Life > 32;
        glBindTexture(GL_TEXTURE_2D, Flying ? TexShot : TexExplosion);
        const float H = Flying ? static_cast<float>(Power / 15.0 / 1.5) : (Hit ? 13.0f : 3.0f);
        // A sprite wholly outside the view is not drawn; the state it leaves is set all the same.
        if (ShotView.SphereVisible(X, Y + ShotLift, Z, H * SquareCornerReach)) {
            glRotatef(CameraYaw(), 0, 1, 0);
            glRotatef(static_cast<float>(SpinDegrees), 0, 0, 1);
            float S0 = 0, S1 = 1, T0 = 0, T1 = 1;
            const SpriteShape* Shape = &ShotShape;
            if (!Flying) {
                const int Column = ShotAtlasColumn(Life), Row = ShotAtlasRow(Life);
                S0 = Column / 4.0f;
                S1 = S0 + 0.25f;
                T1 = 1 - Row / 4.0f; // row 0 is the top row of the picture
                T0 = T1 - 0.25f;
                Shape = &ExplosionShapes[Row * 4 + Column];
            }
            DrawSpriteShape(*Shape, -H, -H, H, H, S0, T0, S1, T1);
        }
        glDisable(GL_BLEND);
    }
    glPopMatrix();
}

void BeginShotPass() {
    glDepthMask(GL_FALSE);
    ShotView.Load();
}
void EndShotPass() { glDepthMask(GL_TRUE); }

void EnableSceneBlending() { glEnable(GL_BLEND); }
