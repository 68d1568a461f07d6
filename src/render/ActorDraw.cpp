// Drawing of the actors for the actor pass.
#include "render/ActorDraw.h"

#include <GL/gl.h>

#include "model/Animate.h"
#include "render/Scene.h"
#include "world/Setup.h"
#include "world/World.h"

void BeginActorDrawing(const Actor_Rec& A) {
    glPushMatrix();
    glTranslatef(A.X, A.Y, A.Z);
    // The models are built facing +Z; turning by half a circle makes them face the heading.
    glRotatef(A.Heading - 180.0f, 0.0f, 1.0f, 0.0f);
    glColor3f(float(A.ColorR), float(A.ColorG), float(A.ColorB));
    glScalef(float(A.Width * 0.06), float(A.Height * 0.05), float(A.Length * 0.05));
}

void DrawPlayerTankModel(double Throttle) {
    glRotatef(float(-Throttle), 1.0f, 0.0f, 0.0f);
    glCallList(HeroList);
}

void DrawEnemyTankModel(bool Near) {
    glCallList(Near ? TigerList : TigerFarList);
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
