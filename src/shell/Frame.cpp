// The frame dispatcher: clears, then updates and draws what the game state shows, in order.
#include "shell/Frame.h"

#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"

namespace {

// The menu shows the arena behind it; the pointer never fades while the menu is up.
void DrawMenuFrame() { PointerTimer = 30.0; }

// The running game. The pointer overlay fades out unless a panel is being dragged.
void DrawGameFrame() {
    if (PointerTimer > 0.0) {
        if (DragPanel != 0)
            PointerTimer = 30.0;
        else
            PointerTimer -= SpeedFactor;
    }
}

} // namespace

void DrawFrame() {
    BeginFrameDrawing();
    switch (GameState) {
    case 1: DrawMenuFrame(); break;
    case 2: DrawGameFrame(); break;
    default: break;
    }
    EndFrameDrawing();
}
