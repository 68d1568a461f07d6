// Menu input and actions: the hit test, what a click does, entering the game, and name entry.
#include "menu/MenuInput.h"

#include <cstdlib>
#include <string>

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/Screen.h"
#include "menu/Menu.h"
#include "menu/MenuDraw.h"
#include "menu/PointerStars.h"
#include "menu/Settings.h"
#include "platform/Numbers.h"
#include "render/View.h"
#include "sound/Sound.h"
#include "world/World.h"

GameEntry GameEntryRequest = GameEntry::None;
float MaxAnisotropy = 0.0f;

namespace {

// The whole-number settings the increase and decrease buttons step, by key. A step that
// overshoots stops at the limit.
struct IntSetting {
    const char* Key;
    int32_t*    Value;
    int32_t     Step;
    int32_t     Min;
    int32_t     Max;
};
const IntSetting IntSettings[] = {
    {"Detail", &DetailLevel, 1, 1, 3},
    {"Resolution", &ResolutionWanted, 1, 1, 5},
    {"ia_tanks", &ArenaTanks, 1, 0, 50},
    {"ia_turrets", &ArenaTurrets, 1, 0, 50},
    {"ia_bonus", &ArenaBonus, 1, 0, 50},
    {"ia_start_energy", &ArenaStartEnergy, 10, 10, 1000},
    {"ia_max_shots", &ArenaMaxShots, 1, 1, 20},
};

constexpr int32_t VolumeStep = 1, VolumeMin = 0, VolumeMax = 100; // percent
constexpr double  ColorStep = 0.1, ColorMin = 0.0, ColorMax = 1.0;

// The player's colour component a "ColorR", "ColorG" or "ColorB" key names; null otherwise.
double* ColorComponent(const std::string& Key) {
    if (Key == "ColorR") return &Actors[0].ColorR;
    if (Key == "ColorG") return &Actors[0].ColorG;
    if (Key == "ColorB") return &Actors[0].ColorB;
    return nullptr;
}

template <typename T> T Clamped(T Value, T Min, T Max) {
    if (Value > Max) return Max;
    if (Value < Min) return Min;
    return Value;
}

// The anisotropic level moves in whole steps; raising it asks the driver for its maximum first.
void StepAnisotropy(int32_t Direction) {
    const float Level = static_cast<float>(Trunc(Anisotropy) + Direction);
    if (Direction > 0) {
        QueryMaxAnisotropy();
        Anisotropy = Level > MaxAnisotropy ? MaxAnisotropy : Level;
    } else {
        Anisotropy = Level < 0 ? 0.0f : Level;
    }
}

// One step of the setting named by Key; Direction is +1 (increase) or -1 (decrease).
void StepSetting(const std::string& Key, int32_t Direction) {
    for (const IntSetting& Setting : IntSettings) {
        if (Key != Setting.Key) continue;
        *Setting.Value = Clamped(*Setting.Value + Direction * Setting.Step, Setting.Min, Setting.Max);
        return;
    }
    if (Key == "Anisotropic") {
        StepAnisotropy(Direction);
    } else if (Key == "Volume") {
        SoundVolume = static_cast<int16_t>(Clamped(SoundVolume + Direction * VolumeStep, VolumeMin, VolumeMax));
    } else if (double* Component = ColorComponent(Key)) {
        // Stepped in floating point without rounding to tenths, and saved as it is.
        *Component = Clamped(*Component + Direction * ColorStep, ColorMin, ColorMax);
    }
}

void GoToPage(const MenuItem& Item) {
    if (Item.Caption == "Player" && GameInProgress) return; // name and colour are fixed in a game
    ChangeMenuPage(static_cast<int32_t>(std::strtol(Item.Key.c_str(), nullptr, 10)));
    TextEditMode = 0;
}

void EndGame() {
    ChangeMenuPage(PageMain);
    TextEditMode   = 0;
    GameInProgress = false;
    PlayerVelocity = 0; // the arena stays behind the menu
}

void DoButton(const MenuItem& Item) {
    switch (Item.Action) {
    case ActionGoToPage: GoToPage(Item); break;
    case ActionQuit: QuitRequested = true; break;
    case ActionStart:
        SaveLastArena();
        GameEntryRequest = GameEntry::NewGame;
        break;
    case ActionIncrease: StepSetting(Item.Key, +1); break;
    case ActionDecrease: StepSetting(Item.Key, -1); break;
    case ActionToggle:
        if (bool* Flag = MenuToggleFlag(Item.Key)) *Flag = !*Flag;
        break;
    case ActionSaveLoad:
        if (Item.Key == "Save") SaveSettings();
        if (Item.Key == "Load") LoadSettings(); // loaded values apply where they are read
        break;
    case ActionResume: GameEntryRequest = GameEntry::Resume; break;
    case ActionEndGame: EndGame(); break;
    default: break;
    }
}

// Appends the character of key Code when it is down, and consumes the key.
void TakeKey(int32_t Code, std::string& Text) {
    if (!Keys[Code]) return;
    Text += static_cast<char>(Code);
    Keys[Code] = false;
}

} // namespace

int32_t MenuHitTest() {
    HoverItemY     = -100.0;
    int32_t Result = -1;
    for (int32_t Slot = 1; Slot <= MenuItemSlots; ++Slot) {
        MenuItem& Item = MenuItems[Slot];
        if (!Item.Used || Item.Page != MenuPage) continue;
        if (!GameInProgress && Item.Action == ActionResume) continue;
        if (MenuTransition != 0) continue; // nothing is hit while a page change fades
        const bool Inside = Item.X < MousePctX && MousePctX < Item.X + Item.Width && Item.Y < MousePctY &&
                            MousePctY < Item.Y + Item.Height;
        Item.Hover = Inside;
        if (Inside) {
            HoverItemY = Item.Y;
            Result     = Slot; // the highest slot wins where items overlap
        }
    }
    return Result;
}

void MenuAction(int32_t Slot) {
    if (Slot < 1 || Slot > MenuItemSlots) return;
    MenuItem& Item = MenuItems[Slot];
    // "Resume Game" and the "End Game" link do nothing at all without a game in progress.
    const bool NeedsGame = Item.Action == ActionResume || (Item.Action == ActionGoToPage && Item.Key == "10");
    if (NeedsGame && !GameInProgress) return;
    if (SoundEnabled) SoundPlaySound(SoundFreeChannel, SndButton);
    Item.Hover = false;
    SpawnPointerStars(50, true, MousePctX, 100 - MousePctY);
    if (Item.Kind == KindTextField) {
        if (Item.Key == "Name") TextEditMode = 1; // name entry runs in the key handler until Return
        return;
    }
    if (Item.Kind == KindButton) DoButton(Item);
}

void ProcessNameEntry() {
    if (TextEditMode == 0) return;
    std::string Text = Actors[0].Name;
    if (Keys[KeyBackspace] && !Text.empty()) { // with an empty name the key stays down
        Text.pop_back();
        Keys[KeyBackspace] = false;
    }
    TakeKey(KeySpace, Text);
    for (int32_t Code = '0'; Code <= '9'; ++Code) TakeKey(Code, Text);
    for (int32_t Code = 'A'; Code <= 'Z'; ++Code) TakeKey(Code, Text);
    if (Keys[KeyReturn]) TextEditMode = 0; // Return stays down; what came with it is dropped
    if (TextEditMode == 1) Actors[0].Name = Text;
    if (Actors[0].Name.size() > PlayerNameMaxLength) Actors[0].Name.resize(PlayerNameMaxLength);
}
