// The menu model: the item table, the menu tree that fills it, and the page-change rule.
#include "menu/Menu.h"

#include <iterator>

#include "core/InputState.h"
#include "menu/MenuDraw.h"
#include "menu/Settings.h"

MenuItem MenuItems[MenuItemSlots + 1];
int32_t  NextMenuItem     = 1;
int32_t  MenuPage         = 0;
int32_t  PreviousMenuPage = 0;
double   MenuTransition   = 0.0;
double   HoverItemY       = -100.0;

namespace {

// One row of the menu tree. Width, height, action and key are written only where they are not
// zero or empty, so a title keeps its zero size and a value label its empty action.
struct MenuTreeRow {
    int32_t     Page;
    int16_t     Kind;
    const char* Caption;
    const char* Key;
    int16_t     Action;
    double      X, Y, Width, Height;
};

constexpr int16_t B = KindButton, V = KindValueLabel, T = KindPageTitle, F = KindTextField;

// The whole menu, in slot order (the order of drawing and of the hit test). Captions and keys are
// exact, spaces included: the " + " and " - " captions centre the sign in the narrow box.
const MenuTreeRow MenuTree[] = {
    {1,  T, "MAIN MENU",          "",                0,              20, 2,  0,  0},
    {1,  B, "Resume Game",        "",                ActionResume,   30, 20, 30, 5},
    {1,  B, "End Game",           "10",              ActionGoToPage, 30, 25, 30, 5},
    {1,  B, "Single Player",      "6",               ActionGoToPage, 30, 30, 30, 5},
    {1,  B, "Multiplayer",        "7",               ActionGoToPage, 30, 35, 30, 5},
    {1,  B, "Settings",           "2",               ActionGoToPage, 30, 40, 30, 5},
    {1,  B, "Quit",               "",                ActionQuit,     30, 50, 30, 5},
    {10, T, "END GAME",           "",                0,              20, 2,  0,  0},
    {10, B, "Yes",                "",                ActionEndGame,  30, 50, 30, 5},
    {10, B, "No",                 "1",               ActionGoToPage, 30, 60, 30, 5},
    {2,  T, "SETTINGS",           "",                0,              20, 2,  0,  0},
    {2,  B, "Graphics",           "3",               ActionGoToPage, 30, 30, 30, 5},
    {2,  B, "Sound",              "4",               ActionGoToPage, 30, 35, 30, 5},
    {2,  B, "Other",              "5",               ActionGoToPage, 30, 40, 30, 5},
    {2,  B, "Player",             "9",               ActionGoToPage, 30, 45, 30, 5},
    {2,  B, "Save",               "Save",            ActionSaveLoad, 30, 50, 15, 5},
    {2,  B, "Load",               "Load",            ActionSaveLoad, 45, 50, 15, 5},
    {2,  B, "Back",               "1",               ActionGoToPage, 30, 60, 30, 5},
    {3,  T, "GRAPHICS SETTINGS",  "",                0,              20, 2,  0,  0},
    {3,  V, "",                   "Detail",          0,              20, 25, 30, 5},
    {3,  B, " + ",                "Detail",          ActionIncrease, 85, 20, 5,  5},
    {3,  B, " - ",                "Detail",          ActionDecrease, 85, 25, 5,  5},
    {3,  V, "",                   "Resolution",      0,              20, 45, 30, 5},
    {3,  B, " + ",                "Resolution",      ActionIncrease, 85, 40, 5,  5},
    {3,  B, " - ",                "Resolution",      ActionDecrease, 85, 45, 5,  5},
    {3,  V, "",                   "Anisotropic",     0,              20, 55, 30, 5},
    {3,  B, " + ",                "Anisotropic",     ActionIncrease, 85, 50, 5,  5},
    {3,  B, " - ",                "Anisotropic",     ActionDecrease, 85, 55, 5,  5},
    {3,  B, "Back",               "2",               ActionGoToPage, 30, 60, 30, 5},
    {4,  T, "SOUND SETTINGS",     "",                0,              20, 2,  0,  0},
    {4,  V, "",                   "Volume",          0,              40, 30, 30, 5},
    {4,  B, " + ",                "Volume",          ActionIncrease, 85, 30, 5,  5},
    {4,  B, " - ",                "Volume",          ActionDecrease, 85, 35, 5,  5},
    {4,  B, "Enable Sound",       "Sound",           ActionToggle,   30, 40, 40, 5},
    {4,  B, "Back",               "2",               ActionGoToPage, 30, 60, 30, 5},
    {9,  T, "PLAYER SETTINGS",    "",                0,              20, 2,  0,  0},
    {9,  V, "",                   "Color",           0,              30, 30, 30, 5},
    {9,  B, "R+ ",                "ColorR",          ActionIncrease, 65, 30, 5,  5},
    {9,  B, "R- ",                "ColorR",          ActionDecrease, 65, 35, 5,  5},
    {9,  B, "G+ ",                "ColorG",          ActionIncrease, 75, 30, 5,  5},
    {9,  B, "G- ",                "ColorG",          ActionDecrease, 75, 35, 5,  5},
    {9,  B, "B+ ",                "ColorB",          ActionIncrease, 85, 30, 5,  5},
    {9,  B, "B- ",                "ColorB",          ActionDecrease, 85, 35, 5,  5},
    {9,  F, "",                   "Name",            0,              30, 40, 0,  5},
    {9,  B, "Back",               "2",               ActionGoToPage, 30, 60, 30, 5},
    {5,  T, "OTHER SETTINGS",     "",                0,              20, 2,  0,  0},
    {5,  B, "Show Log Window",    "Log",             ActionToggle,   30, 20, 40, 5},
    {5,  B, "Show Radar",         "Radar",           ActionToggle,   30, 25, 40, 5},
    {5,  B, "Show Compass",       "Compass",         ActionToggle,   30, 30, 40, 5},
    {5,  B, "Show Help",          "Help",            ActionToggle,   30, 35, 40, 5},
    {5,  B, "Show Particles",     "Particles",       ActionToggle,   30, 40, 40, 5},
    {5,  B, "Show Crosshair",     "Crosshair",       ActionToggle,   30, 45, 40, 5},
    {5,  B, "Show Pointer Stars", "LittleStars",     ActionToggle,   30, 50, 40, 5},
    {5,  B, "Back",               "2",               ActionGoToPage, 30, 60, 30, 5},
    {6,  T, "SINGLE PLAYER",      "",                0,              20, 2,  0,  0},
    {6,  B, "Custom Arena",       "8",               ActionGoToPage, 30, 30, 40, 5},
    {6,  B, "Back",               "1",               ActionGoToPage, 30, 60, 40, 5},
    {7,  T, "MULTIPLAYER",        "",                0,              20, 2,  0,  0},
    {7,  B, "Back",               "1",               ActionGoToPage, 30, 60, 30, 5},
    {8,  T, "CUSTOM ARENA",       "",                0,              20, 2,  0,  0},
    {8,  V, "",                   "ia_tanks",        0,              40, 20, 30, 5},
    {8,  B, " + ",                "ia_tanks",        ActionIncrease, 30, 15, 5,  5},
    {8,  B, " - ",                "ia_tanks",        ActionDecrease, 30, 20, 5,  5},
    {8,  V, "",                   "ia_turrets",      0,              40, 30, 30, 5},
    {8,  B, " + ",                "ia_turrets",      ActionIncrease, 30, 25, 5,  5},
    {8,  B, " - ",                "ia_turrets",      ActionDecrease, 30, 30, 5,  5},
    {8,  V, "",                   "ia_bonus",        0,              40, 40, 30, 5},
    {8,  B, " + ",                "ia_bonus",        ActionIncrease, 30, 35, 5,  5},
    {8,  B, " - ",                "ia_bonus",        ActionDecrease, 30, 40, 5,  5},
    {8,  V, "",                   "ia_start_energy", 0,              40, 50, 30, 5},
    {8,  B, " + ",                "ia_start_energy", ActionIncrease, 30, 45, 5,  5},
    {8,  B, " - ",                "ia_start_energy", ActionDecrease, 30, 50, 5,  5},
    {8,  V, "",                   "ia_max_shots",    0,              40, 60, 30, 5},
    {8,  B, " + ",                "ia_max_shots",    ActionIncrease, 30, 55, 5,  5},
    {8,  B, " - ",                "ia_max_shots",    ActionDecrease, 30, 60, 5,  5},
    {8,  B, "Enemy Respawn",      "ia_respawn",      ActionToggle,   30, 65, 40, 5},
    {8,  B, "Start",              "",                ActionStart,    30, 70, 40, 5},
    {8,  B, "Back",               "6",               ActionGoToPage, 30, 80, 30, 5},
};

// The flags the toggle buttons flip and show, by key.
struct ToggleRow {
    const char* Key;
    bool*       Flag;
};
const ToggleRow ToggleFlags[] = {
    {"Log", &ShowLog},
    {"Compass", &ShowCompass},
    {"Radar", &ShowRadar},
    {"ia_respawn", &ArenaRespawn},
    {"Sound", &SoundEnabled},
    {"Help", &ShowHelp},
    {"Particles", &ShowParticles},
    {"LittleStars", &ShowPointerStars},
    {"Crosshair", &ShowCrosshairs},
};

} // namespace

int32_t AddMenuItem(int32_t Page, const std::string& Caption, int16_t Kind, double X, double Y) {
    const int32_t Slot = NextMenuItem;
    MenuItem&     Item = MenuItems[Slot];
    Item.Used    = true;
    Item.Caption = Caption;
    Item.Page    = Page;
    Item.Kind    = Kind;
    Item.X       = X;
    Item.Y       = Y;
    NextMenuItem += 1;
    return Slot;
}

void BuildMenu() {
    for (const MenuTreeRow& Row : MenuTree) {
        MenuItem& Item = MenuItems[AddMenuItem(Row.Page, Row.Caption, Row.Kind, Row.X, Row.Y)];
        if (Row.Height != 0) Item.Height = Row.Height;
        if (Row.Width != 0) Item.Width = Row.Width;
        if (Row.Action != 0) Item.Action = Row.Action;
        if (Row.Key[0] != '\0') Item.Key = Row.Key;
    }
}

void ClearMenuItems() {
    for (MenuItem& Item : MenuItems) {
        Item.Hover = false;
        Item.Used  = false;
    }
}

void ChangeMenuPage(int32_t Page) {
    PreviousMenuPage = MenuPage;
    MenuTransition   = 1.0;
    MenuPage         = Page;
}

bool* MenuToggleFlag(const std::string& Key) {
    for (const ToggleRow& Row : ToggleFlags)
        if (Key == Row.Key) return Row.Flag;
    return nullptr;
}

static_assert(std::size(MenuTree) <= MenuItemSlots, "the menu tree fits the table");
static_assert(std::size(MenuTree) == 78, "the menu tree has 78 items");

void SetupMenu() {
    ClearMenuItems();
    SeedMenuBackdrop();
    BuildMenu();
    MenuPage = 1;
}
