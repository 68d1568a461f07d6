// The menu table: every item of the tree BuildMenu makes, AddMenuItem and ClearMenuItems.
#include "MenuFixture.h"

namespace {

using MenuTable = MenuFixture;

struct Expected {
    int32_t     Page;
    int16_t     Kind;
    const char* Caption;
    const char* Key;
    int16_t     Action;
    double      X, Y, Width, Height;
};

constexpr int16_t B = KindButton, V = KindValueLabel, T = KindPageTitle, F = KindTextField;
constexpr int16_t Go = ActionGoToPage, Up = ActionIncrease, Down = ActionDecrease, Flip = ActionToggle;

// The 78 items in slot order, as the game's menu tree lays them out.
const Expected Tree[78] = {
    {1, T, "MAIN MENU", "", 0, 20, 2, 0, 0},          {1, B, "Resume Game", "", ActionResume, 30, 20, 30, 5},
    {1, B, "End Game", "10", Go, 30, 25, 30, 5},       {1, B, "Single Player", "6", Go, 30, 30, 30, 5},
    {1, B, "Multiplayer", "7", Go, 30, 35, 30, 5},     {1, B, "Settings", "2", Go, 30, 40, 30, 5},
    {1, B, "Quit", "", ActionQuit, 30, 50, 30, 5},     {10, T, "END GAME", "", 0, 20, 2, 0, 0},
    {10, B, "Yes", "", ActionEndGame, 30, 50, 30, 5},  {10, B, "No", "1", Go, 30, 60, 30, 5},
    {2, T, "SETTINGS", "", 0, 20, 2, 0, 0},            {2, B, "Graphics", "3", Go, 30, 30, 30, 5},
    {2, B, "Sound", "4", Go, 30, 35, 30, 5},           {2, B, "Other", "5", Go, 30, 40, 30, 5},
    {2, B, "Player", "9", Go, 30, 45, 30, 5},          {2, B, "Save", "Save", ActionSaveLoad, 30, 50, 15, 5},
    {2, B, "Load", "Load", ActionSaveLoad, 45, 50, 15, 5}, {2, B, "Back", "1", Go, 30, 60, 30, 5},
    {3, T, "GRAPHICS SETTINGS", "", 0, 20, 2, 0, 0},   {3, V, "", "Detail", 0, 20, 25, 30, 5},
    {3, B, " + ", "Detail", Up, 85, 20, 5, 5},         {3, B, " - ", "Detail", Down, 85, 25, 5, 5},
    {3, V, "", "Resolution", 0, 20, 45, 30, 5},        {3, B, " + ", "Resolution", Up, 85, 40, 5, 5},
    {3, B, " - ", "Resolution", Down, 85, 45, 5, 5},   {3, V, "", "Anisotropic", 0, 20, 55, 30, 5},
    {3, B, " + ", "Anisotropic", Up, 85, 50, 5, 5},    {3, B, " - ", "Anisotropic", Down, 85, 55, 5, 5},
    {3, B, "Back", "2", Go, 30, 60, 30, 5},            {4, T, "SOUND SETTINGS", "", 0, 20, 2, 0, 0},
    {4, V, "", "Volume", 0, 40, 30, 30, 5},            {4, B, " + ", "Volume", Up, 85, 30, 5, 5},
    {4, B, " - ", "Volume", Down, 85, 35, 5, 5},       {4, B, "Enable Sound", "Sound", Flip, 30, 40, 40, 5},
    {4, B, "Back", "2", Go, 30, 60, 30, 5},            {9, T, "PLAYER SETTINGS", "", 0, 20, 2, 0, 0},
    {9, V, "", "Color", 0, 30, 30, 30, 5},             {9, B, "R+ ", "ColorR", Up, 65, 30, 5, 5},
    {9, B, "R- ", "ColorR", Down, 65, 35, 5, 5},       {9, B, "G+ ", "ColorG", Up, 75, 30, 5, 5},
    {9, B, "G- ", "ColorG", Down, 75, 35, 5, 5},       {9, B, "B+ ", "ColorB", Up, 85, 30, 5, 5},
    {9, B, "B- ", "ColorB", Down, 85, 35, 5, 5},       {9, F, "", "Name", 0, 30, 40, 0, 5},
    {9, B, "Back", "2", Go, 30, 60, 30, 5},            {5, T, "OTHER SETTINGS", "", 0, 20, 2, 0, 0},
    {5, B, "Show Log Window", "Log", Flip, 30, 20, 40, 5}, {5, B, "Show Radar", "Radar", Flip, 30, 25, 40, 5},
    {5, B, "Show Compass", "Compass", Flip, 30, 30, 40, 5}, {5, B, "Show Help", "Help", Flip, 30, 35, 40, 5},
    {5, B, "Show Particles", "Particles", Flip, 30, 40, 40, 5},
    {5, B, "Show Crosshair", "Crosshair", Flip, 30, 45, 40, 5},
    {5, B, "Show Pointer Stars", "LittleStars", Flip, 30, 50, 40, 5},
    {5, B, "Back", "2", Go, 30, 60, 30, 5},            {6, T, "SINGLE PLAYER", "", 0, 20, 2, 0, 0},
    {6, B, "Custom Arena", "8", Go, 30, 30, 40, 5},    {6, B, "Back", "1", Go, 30, 60, 40, 5},
    {7, T, "MULTIPLAYER", "", 0, 20, 2, 0, 0},         {7, B, "Back", "1", Go, 30, 60, 30, 5},
    {8, T, "CUSTOM ARENA", "", 0, 20, 2, 0, 0},        {8, V, "", "ia_tanks", 0, 40, 20, 30, 5},
    {8, B, " + ", "ia_tanks", Up, 30, 15, 5, 5},       {8, B, " - ", "ia_tanks", Down, 30, 20, 5, 5},
    {8, V, "", "ia_turrets", 0, 40, 30, 30, 5},        {8, B, " + ", "ia_turrets", Up, 30, 25, 5, 5},
    {8, B, " - ", "ia_turrets", Down, 30, 30, 5, 5},   {8, V, "", "ia_bonus", 0, 40, 40, 30, 5},
    {8, B, " + ", "ia_bonus", Up, 30, 35, 5, 5},       {8, B, " - ", "ia_bonus", Down, 30, 40, 5, 5},
    {8, V, "", "ia_start_energy", 0, 40, 50, 30, 5},   {8, B, " + ", "ia_start_energy", Up, 30, 45, 5, 5},
    {8, B, " - ", "ia_start_energy", Down, 30, 50, 5, 5}, {8, V, "", "ia_max_shots", 0, 40, 60, 30, 5},
    {8, B, " + ", "ia_max_shots", Up, 30, 55, 5, 5},   {8, B, " - ", "ia_max_shots", Down, 30, 60, 5, 5},
    {8, B, "Enemy Respawn", "ia_respawn", Flip, 30, 65, 40, 5},
    {8, B, "Start", "", ActionStart, 30, 70, 40, 5},   {8, B, "Back", "6", Go, 30, 80, 30, 5},
};

TEST_F(MenuTable, HoldsTheSeventyEightItemsAndLeavesTheRestFree) {
    EXPECT_EQ(NextMenuItem, 79);
    for (int32_t Slot = 1; Slot <= MenuItemSlots; ++Slot)
        EXPECT_EQ(MenuItems[Slot].Used, Slot <= 78) << "slot " << Slot;
    EXPECT_FALSE(MenuItems[0].Used);
}

TEST_F(MenuTable, EveryItemSitsWhereTheTreeSays) {
    for (int32_t Slot = 1; Slot <= 78; ++Slot) {
        const Expected& E    = Tree[Slot - 1];
        const MenuItem& Item = MenuItems[Slot];
        SCOPED_TRACE("slot " + std::to_string(Slot));
        EXPECT_EQ(Item.Page, E.Page);
        EXPECT_EQ(Item.Kind, E.Kind);
        EXPECT_EQ(Item.Caption, E.Caption);
        EXPECT_EQ(Item.Key, E.Key);
        EXPECT_EQ(Item.Action, E.Action);
        EXPECT_EQ(Item.X, E.X);
        EXPECT_EQ(Item.Y, E.Y);
        EXPECT_EQ(Item.Width, E.Width);
        EXPECT_EQ(Item.Height, E.Height);
        EXPECT_FALSE(Item.Hover);
    }
}

TEST_F(MenuTable, AddMenuItemSetsOnlyItsOwnFields) {
    MenuItems[79].Width  = 12;
    MenuItems[79].Key    = "kept";
    MenuItems[79].Action = ActionQuit;
    EXPECT_EQ(AddMenuItem(4, "Extra", KindButton, 1.5, 2.5), 79);
    EXPECT_EQ(NextMenuItem, 80);
    const MenuItem& Item = MenuItems[79];
    EXPECT_TRUE(Item.Used);
    EXPECT_EQ(Item.Caption, "Extra");
    EXPECT_EQ(Item.Page, 4);
    EXPECT_EQ(Item.Kind, KindButton);
    EXPECT_EQ(Item.X, 1.5);
    EXPECT_EQ(Item.Y, 2.5);
    EXPECT_EQ(Item.Width, 12);
    EXPECT_EQ(Item.Key, "kept");
    EXPECT_EQ(Item.Action, ActionQuit);
}

TEST_F(MenuTable, ClearMenuItemsDropsUsedAndHover) {
    MenuItems[5].Hover = true;
    ClearMenuItems();
    for (const MenuItem& Item : MenuItems) {
        EXPECT_FALSE(Item.Used);
        EXPECT_FALSE(Item.Hover);
    }
}

} // namespace
