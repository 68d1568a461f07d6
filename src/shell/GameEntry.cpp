// The game setup as a whole and the way from the menu into a game.
#include "shell/GameEntry.h"

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/Screen.h"
#include "core/SettingValues.h"
#include "menu/Menu.h"
#include "menu/MenuInput.h"
#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "shell/Window.h"
#include "sound/Sound.h"
#include "world/Setup.h"
#include "world/World.h"

void GameSetup() {
    if (FirstStart) {
        if (ArenaFromFile)
            LoadLastArena();
        SetupMenu();
    }
    SetupGameWorld();
}

void EnterGame(bool NewGame) {
    GameState = 2;
    MenuPage  = PageMain; // no transition: the menu is not drawn while playing
    ShowTrees = DetailLevel == 3;
    ChangeDisplayMode(static_cast<int16_t>(ResolutionWanted));
    if (!WindowHandle) return; // no display mode could be opened: the program is ending
    NewGameRequested = NewGame ? 1 : 0;
    GameSetup(); // a new arena, or for a resume only the per-setup fonts, textures and models
    GameInProgress = true;
    SoundSetSFXMasterVolume(static_cast<int32_t>(Trunc(SoundVolume * 255.0 / 100.0)));
}

void EnterRequestedGame() {
    const GameEntry Request = GameEntryRequest;
    GameEntryRequest = GameEntry::None;
    if (Request != GameEntry::None)
        EnterGame(Request == GameEntry::NewGame);
}
