// The input records and the per-frame handlers that turn them into actions.
#include "shell/Input.h"

#include "menu/MenuInput.h"
#include "menu/PointerStars.h"
#include "platform/Numbers.h"
#include "shell/App.h"
#include "shell/GameEntry.h"
#include "shell/GameKeys.h"
#include "shell/Window.h"

namespace {

// A shown panel at (X, Y) of size W x H holds the point strictly inside its edges.
bool PanelHolds(bool Shown, double X, double Y, double W, double H, double Px, double Py) {
    return Shown && X < Px && Px < X + W && Y < Py && Py < Y + H;
}

} // namespace

// Keys by game state: the menu's text entry, the game's tank keys, camera key and toggles.
void ProcessGameKeys() {
    switch (GameState) {
    case 1: ProcessNameEntry(); break;
    case 2: ProcessGameKeysInGame(); break;
    default: break;
    }
}

void UpdatePointer() {
    if (!MouseMoved)
        return;
    MousePctX = float(PercentX(int32_t(Trunc(RawMouseX))));
    MousePctY = float(PercentY(int32_t(Trunc(RawMouseY))));
    PointerTimer = 30.0;
    MouseMoved = false;
    if (GameState == 1 && RandomReal() > 0.3)
        SpawnPointerStars(1, false, MousePctX, 100.0 - MousePctY);
}

// Buttons by game state: menu clicks, panel dragging in the game.
void ProcessMouseButtons() {
    switch (GameState) {
    case 1: {
        // One press, one action: the press is used up by the item it acts on. A press that
        // starts outside every item stays pending and acts on the first item reached.
        const int32_t Item = MenuHitTest();
        if (Item >= 0 && MouseButton == 1) {
            MenuAction(Item);
            EnterRequestedGame(); // Start and Resume enter the game as the last step of their click
            MouseButton = 0;
        }
        break;
    }
    case 2: ProcessMouseButtonsInGame(); break;
    default: break;
    }
}

// Tests log window, compass and radar in that order; a later match replaces an earlier one, so
// where panels overlap the last one tested is grabbed.
void GrabPanel() {
    DragPanel = 0;
    const double Px = PercentX(ClickX);
    const double Py = PercentY(ClickY);
    double X = 0.0, Y = 0.0;
    if (PanelHolds(ShowLog, LogPanelX, LogPanelY, LogPanelWidth, LogPanelHeight, Px, Py)) {
        DragPanel = 1;
        X = LogPanelX;
        Y = LogPanelY;
    }
    if (PanelHolds(ShowCompass, CompassPanelX, CompassPanelY, CompassPanelWidth,
                   CompassPanelHeight, Px, Py)) {
        DragPanel = 2;
        X = CompassPanelX;
        Y = CompassPanelY;
    }
    if (PanelHolds(ShowRadar, RadarPanelX, RadarPanelY, RadarPanelWidth, RadarPanelHeight, Px, Py)) {
        DragPanel = 3;
        X = RadarPanelX;
        Y = RadarPanelY;
    }
    if (DragPanel != 0) {
        GrabOffsetX = double(Trunc(Px - X));
        GrabOffsetY = double(Trunc(Py - Y));
    }
    // A pointer that has faded out cannot grab.
    if (!(PointerTimer > 0.0))
        DragPanel = 0;
}
