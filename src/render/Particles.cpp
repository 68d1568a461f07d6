// Particles and explosions: emission, the per-frame update and drawing of both tables.
#include "render/Particles.h"

#include <GL/gl.h>

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/SettingValues.h"
#include "platform/Numbers.h"
#include "render/Scene.h"
#include "render/Sprites.h"
#include "render/Textures.h"
#include "world/World.h"

Spark_Rec     Sparks[ParticleSlots + 1];
Smoke_Rec     Smokes[ParticleSlots + 1];
Explosion_Rec Explosions[ExplosionSlots + 1];

namespace {

constexpr float SmokeFade     = 0.003f; // smoke Life lost per unit of SpeedFactor
constexpr float SmokeDrift    = 0.6f;   // scale of the smoke's random drift per unit of SpeedFactor
constexpr float SparkStep     = 0.2f;   // spark velocity is per 5 units of SpeedFactor
constexpr float SparkGravity  = 0.09f;  // VelY lost per unit of SpeedFactor
constexpr float SparkBounce   = -0.99f; // VelY kept (and reversed) on touching the ground
constexpr float SparkGroundY  = -179.0f;
constexpr float ExplosionFade = 0.01f; // explosion Life lost per unit of SpeedFactor

// One camera-facing textured square of half-width H in the current frame, cut to the part of
// the texture that shows.
void DrawFacingQuad(const SpriteShape& Shape, float H) {
    DrawSpriteShape(Shape, -H, -H, H, H, 0, 0, 1, 1);
}

void BeginParticleDraw(GLuint Texture, GLenum Source, GLenum Destination) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, Texture);
    glEnable(GL_BLEND);
    glBlendFunc(Source, Destination);
    glDepthMask(GL_FALSE);
}

// A puff grows from a point to 40 x 40 while it becomes more opaque, drifts up and spins.
// A puff outside the view sets its drawing state and is moved and spun all the same, only not
// drawn: the state the pass leaves is that of its last particle, which the explosions draw in.
void UpdateSmoke(Smoke_Rec& S, float Yaw, const ViewVolume& View) {
    S.Angle += S.Spin; // per frame, not per unit of SpeedFactor
    const float H = (5 - 5 * S.Life) * 4;
    BeginParticleDraw(TexSmoke, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
    if (View.SphereVisible(S.X, S.Y, S.Z, H * SquareCornerReach)) {
        glPushMatrix();
        glTranslatef(S.X, S.Y, S.Z);
        glRotatef(Yaw, 0, 1, 0);
        glRotatef(S.Angle, 0, 0, 1);
        glColor4f(1, 1, 1, 1 - S.Life);
        DrawFacingQuad(SmokeShape, H);
        glPopMatrix();
    }

    S.Y += static_cast<float>(RandomReal() * 0.8 * SpeedFactor * SmokeDrift);
    S.X += static_cast<float>((RandomReal() * 0.4 - 0.2) * SpeedFactor * SmokeDrift);
    S.Z += static_cast<float>((RandomReal() * 0.4 - 0.2) * SpeedFactor * SmokeDrift);
    S.Life -= SmokeFade * SpeedFactor;
    if (S.Life < 0)
        S.Life = 0;
}

// A wall coordinate reflects the spark: it is put back on the wall and its velocity reversed.
void ReflectAtWalls(float& Position, float& Velocity, float Wall) {
    if (Position < -Wall) {
        Position = -Wall;
        Velocity = -Velocity;
    } else if (Position > Wall) {
        Position = Wall;
        Velocity = -Velocity;
    }
}

// A spark adds its colour times Life to the picture, flies, falls and bounces.
void UpdateSpark(Spark_Rec& S, float Yaw, const ViewVolume& View) {
    const float H = S.Size / 4;
    BeginParticleDraw(TexParticle, GL_ONE_MINUS_SRC_ALPHA, GL_ONE);
    if (View.SphereVisible(S.X, S.Y, S.Z, H * SquareCornerReach)) {
        glPushMatrix();
        glTranslatef(S.X, S.Y, S.Z);
        glRotatef(Yaw, 0, 1, 0);
        glColor4f(S.ColorR, S.ColorG, S.ColorB, 1 - S.Life);
        DrawFacingQuad(SparkShape, H);
        glPopMatrix();
    }

    S.X += S.VelX * SpeedFactor * SparkStep;
    S.Y += S.VelY * SpeedFactor * SparkStep;
    S.Z += S.VelZ * SpeedFactor * SparkStep;
    S.VelY -= SparkGravity * SpeedFactor;
    if (S.Y < SparkGroundY) {
        S.Y = SparkGroundY;
        S.VelY *= SparkBounce;
    }
    const float Wall = 50.0f * ArenaScale;
    ReflectAtWalls(S.Z, S.VelZ, Wall);
    ReflectAtWalls(S.X, S.VelX, Wall);
    S.Life -= SpeedFactor / 100;
    if (S.Life < 0)
        S.Life = 0;
}

// One more sphere layer: the previous layer's turn is undone before the next axis is used.
struct SphereLayer {
    float Undo[3];  // axis of the previous layer's turn, undone first (all 0: nothing to undo)
    float Alpha;    // the layer's opacity is L / Alpha
    float Axis[3];  // axis the layer turns about by L * 360
};

// Layers 2..5 in drawing order; layer 1 is drawn by DrawExplosion itself.
constexpr SphereLayer ExtraLayers[4] = {
    {{0, 1, 0}, 1.6f, {0, 0, 1}},
    {{0, 0, 1}, 1.4f, {1, 0, 0}},
    {{1, 0, 0}, 1.2f, {1, 1, 0}},
    {{1, 1, 0}, 1.0f, {1, 0, 1}},
};

void DrawSphereLayer(const SphereLayer& Layer, float Turn, float L) {
    if (Layer.Undo[0] != 0 || Layer.Undo[1] != 0 || Layer.Undo[2] != 0)
        glRotatef(-Turn, Layer.Undo[0], Layer.Undo[1], Layer.Undo[2]);
    glColor4f(1, 1, 1, L / Layer.Alpha);
    glRotatef(Turn, Layer.Axis[0], Layer.Axis[1], Layer.Axis[2]);
    glScalef(0.99f, 0.99f, 0.99f);
    glCallList(SphereList);
}

// A widening flat disk and 2, 4 or 5 spinning spheres, each 1 % smaller than the one before.
void DrawExplosion(const Explosion_Rec& E) {
    const float L    = E.Life;
    const float Grow = 1 - L * 0.99f;
    const float Turn = L * 360;

    glPushMatrix();
    glTranslatef(E.X, E.Y, E.Z);
    glColor4f(1, 1, 1, L);
    glScalef(Grow * E.Size * 5, 1, Grow * E.Size * 5);
    glCallList(DiskList);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(E.X, E.Y, E.Z);
    glRotatef(Turn, 0, 1, 0);
    glColor4f(1, 1, 1, L / 2);
    glScalef(Grow * E.Size, Grow * E.Size, Grow * E.Size);
    glCallList(SphereList);
    const int Spheres = ExplosionSphereCount(DetailLevel);
    for (int Layer = 0; Layer + 1 < Spheres; Layer++)
        DrawSphereLayer(ExtraLayers[Layer], Turn, L);
    // With four or five spheres the last layer's turn is taken back before the matrix is
    // restored, keeping every layer's turn paired with its undo.
    if (Spheres >= 4) {
        const float* Axis = ExtraLayers[Spheres - 2].Axis;
        glRotatef(-Turn, Axis[0], Axis[1], Axis[2]);
    }
    glPopMatrix();
}

} // namespace

void SpawnParticles(int32_t Count, double X, double Y, double Z, double R, double G, double B) {
    if (!ShowParticles)
        return;
    for (int I = 1; I <= ParticleSlots && Count > 0; I++) {
        Spark_Rec& S = Sparks[I];
        if (S.Life != 0)
            continue;
        Count--;
        S.Size = static_cast<float>(RandomReal() / 5 + 0.45);
        S.X = static_cast<float>(X);
        S.Y = static_cast<float>(Y);
        S.Z = static_cast<float>(Z);
        S.ColorR = static_cast<float>(R);
        S.ColorG = static_cast<float>(G);
        S.ColorB = static_cast<float>(B);
        const int64_t Angle = Trunc(RandomReal() * 360);
        const double  Force = RandomReal() * 4;
        S.VelX = static_cast<float>(CosTable[Angle + TrigOffset] * Force);
        S.VelY = static_cast<float>(RandomReal() * 8 - 4);
        S.VelZ = static_cast<float>(SinTable[Angle + TrigOffset] * Force);
        S.Life = 1;

        Smoke_Rec& M = Smokes[I];
        M.Life = 1;
        M.X = S.X;
        M.Y = S.Y;
        M.Z = S.Z;
    }
}

void SpawnExplosion(double X, double Y, double Z, float Size) {
    for (int I = 1; I <= ExplosionSlots; I++) {
        Explosion_Rec& E = Explosions[I];
        if (E.Life > 0)
            continue;
        E.X = static_cast<float>(X);
        E.Y = static_cast<float>(Y);
        E.Z = static_cast<float>(Z);
        E.Size = Size;
        E.Life = 1;
        return;
    }
}

void ResetParticles() {
    for (int I = 1; I <= ParticleSlots; I++) {
        Sparks[I].Life = 0;
        Smokes[I].Life = 0;
        Smokes[I].Spin = static_cast<float>(RandomReal() * 5 - 2.5);
        Smokes[I].Angle = 0;
    }
}

void ResetExplosions() {
    for (int I = 1; I <= ExplosionSlots; I++)
        Explosions[I].Life = 0;
}

void DrawParticles() {
    if (!ShowParticles)
        return;
    const float Yaw = CameraYaw();
    ViewVolume  View;
    View.Load();
    for (int I = 1; I <= ParticleSlots; I++) {
        if (Smokes[I].Life > 0)
            UpdateSmoke(Smokes[I], Yaw, View);
        if (Sparks[I].Life > 0)
            UpdateSpark(Sparks[I], Yaw, View);
    }
    glDepthMask(GL_TRUE);
}

void DrawExplosions() {
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    for (int I = 1; I <= ExplosionSlots; I++) {
        Explosion_Rec& E = Explosions[I];
        if (E.Life < 0)
            E.Life = 0;
        if (E.Life > 0) {
            DrawExplosion(E);
            E.Life -= ExplosionFade * SpeedFactor;
        }
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

int ExplosionSphereCount(int32_t Detail) {
    if (Detail > 2)
        return 5;
    if (Detail > 1)
        return 4;
    return 2;
}
