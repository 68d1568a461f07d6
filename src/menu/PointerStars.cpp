// The pointer stars: bursts and trails of small stars thrown from the mouse pointer in the menu.
#include "menu/PointerStars.h"

#include <GL/gl.h>

#include "core/GameState.h"
#include "core/Screen.h"
#include "menu/MenuDraw.h"
#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "render/View.h"

PointerStar PointerStars[PointerStarSlots];

namespace {

// Gives a free slot a new star at (X, Y); the random numbers are drawn in this order.
void BirthStar(PointerStar& Star, bool Burst, double X, double Y) {
    Star.X     = static_cast<float>(X);
    Star.Y     = static_cast<float>(Y);
    Star.Red   = 0;
    Star.Green = 0;
    Star.Blue  = static_cast<float>(0.8 + 0.2 * RandomReal());
    Star.Angle = static_cast<float>(360 * RandomReal());
    if (Burst) {
        Star.VX = static_cast<float>((0.5 * RandomReal() - 0.25) * 4); // -1 .. 1
        Star.VY = static_cast<float>((0.5 * RandomReal() - 0.25) * 4);
    } else {
        Star.VX = static_cast<float>(0.01 * RandomReal() - 0.005);
        Star.VY = static_cast<float>(0.2 * RandomReal() - 0.1);
    }
    Star.Life = 1.0f;
}

// Moves one star a frame on: it falls, bounces off the side edges and lives one second.
void MoveStar(PointerStar& Star) {
    Star.X += Star.VX * SpeedFactor;
    Star.Y += Star.VY * SpeedFactor;
    Star.VY -= 0.1f * SpeedFactor;
    if (Star.X < 0) {
        Star.X  = 0;
        Star.VX = -Star.VX;
    } else if (Star.X > 100) {
        Star.X  = 100;
        Star.VX = -Star.VX;
    }
    Star.Life -= 0.02f * SpeedFactor;
}

} // namespace

void SpawnPointerStars(int32_t Count, bool Burst, double X, double Y) {
    if (!ShowPointerStars) return;
    for (PointerStar& Star : PointerStars) {
        if (Count <= 0) return;
        if (Star.Life > 0) continue;
        Count -= 1;
        BirthStar(Star, Burst, X, Y);
    }
}

void DrawPointerStars() {
    glDisable(GL_TEXTURE_2D);
    SetOverlayMode(true);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    for (PointerStar& Star : PointerStars) {
        if (Star.Life <= 0) continue;
        glColor4f(Star.Red, Star.Green, Star.Blue, Star.Life);
        glPushMatrix();
        glTranslatef(Star.X + 1.5f, Star.Y + 1.0f, -0.1f);
        glRotatef(Star.Angle, 0, 0, 1);
        glScalef(0.3f, 0.3f, 0.3f);
        glCallList(StarList);
        MoveStar(Star);
        glPopMatrix();
    }
    SetOverlayMode(false);
}
