// The frame dispatcher: clears, then updates and draws what the game state shows, in order.
#include "shell/Frame.h"

#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"

#include "menu/MenuDraw.h"
#include "menu/PointerStars.h"
#include "render/Hud.h"
#include "render/Particles.h"
#include "render/Scene.h"
#include "world/Actors.h"
#include "world/Shots.h"

namespace {

// The menu over the arena: backdrop stars, the menu, the pointer stars. The pointer never fades
// while the menu is up.
void DrawMenuFrame() {
    DrawMenuBackdrop();
    DrawMenu();
    DrawPointerStars();
    PointerTimer = 30.0;
}

// The running game. The pointer overlay fades out unless a panel is being dragged.
void DrawGameFrame() {
    if (PointerTimer > 0.0) {
        if (DragPanel != 0)
            PointerTimer = 30.0;
        else
            PointerTimer -= SpeedFactor;
    }
    if (ShowTrees)
        DrawTrees();
    UpdateActors();
    UpdateShots();
    DrawParticles();
    DrawExplosions();
    DrawHud();
}

} // namespace

void DrawFrame() {
    BeginFrameDrawing();
    PlaceCamera(); // draws the sky between its rotation and its translation
    DrawArena();
    switch (GameState) {
    case 1: DrawMenuFrame(); break;
    case 2: DrawGameFrame(); break;
    default: break;
    }
    DrawPointer();
    EndFrameDrawing();
}
