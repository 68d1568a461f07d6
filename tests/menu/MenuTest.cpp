// The menu table: the tree BuildMenu makes, AddMenuItem and the page-change rule.
#include "MenuFixture.h"

#include "menu/MenuInput.h"

namespace {

using MenuTable = MenuFixture;

struct Expected {
    int32_t     Slot;
    int32_t     Page;
    int16_t     Kind;
    const char* Caption;
    const char* Key;
    int16_t     Action;
    double      X, Y, Width, Height;
};

// At least one item of every page, and every kind and action.
const Expected SpotChecks[] = {
    {1, 1, KindPageTitle, "MAIN MENU", "", 0, 20, 2, 0, 0},
    {2, 1, KindButton, "Resume Game", "", ActionResume, 30, 20, 30, 5},
    {3, 1, KindButton, "End Game", "10", ActionGoToPage, 30, 25, 30, 5},
    {7, 1, KindButton, "Quit", "", ActionQuit, 30, 50, 30, 5},
    {9, 10, KindButton, "Yes", "", ActionEndGame, 30, 50, 30, 5},
    {10, 10, KindButton, "No", "1", ActionGoToPage, 30, 60, 30, 5},
    {15, 2, KindButton, "Player", "9", ActionGoToPage, 30, 45, 30, 5},
    {17, 2, KindButton, "Load", "Load", ActionSaveLoad, 45, 50, 15, 5},
    {19, 3, KindPageTitle, "GRAPHICS SETTINGS", "", 0, 20, 2, 0, 0},
    {20, 3, KindValueLabel, "", "Detail", 0, 20, 25, 30, 5},
    {22, 3, KindButton, " - ", "Detail", ActionDecrease, 85, 25, 5, 5},
    {27, 3, KindButton, " + ", "Anisotropic", ActionIncrease, 85, 50, 5, 5},
    {31, 4, KindValueLabel, "", "Volume", 0, 40, 30, 30, 5},
    {34, 4, KindButton, "Enable Sound", "Sound", ActionToggle, 30, 40, 40, 5},
    {37, 9, KindValueLabel, "", "Color", 0, 30, 30, 30, 5},
    {43, 9, KindButton, "B- ", "ColorB", ActionDecrease, 85, 35, 5, 5},
    {44, 9, KindTextField, "", "Name", 0, 30, 40, 0, 5},
    {47, 5, KindButton, "Show Log Window", "Log", ActionToggle, 30, 20, 40, 5},
    {53, 5, KindButton, "Show Pointer Stars", "LittleStars", ActionToggle, 30, 50, 40, 5},
    {57, 6, KindButton, "Back", "1", ActionGoToPage, 30, 60, 40, 5},
    {58, 7, KindPageTitle, "MULTIPLAYER", "", 0, 20, 2, 0, 0},
    {59, 7, KindButton, "Back", "1", ActionGoToPage, 30, 60, 30, 5},
    {62, 8, KindButton, " + ", "ia_tanks", ActionIncrease, 30, 15, 5, 5},
    {70, 8, KindValueLabel, "", "ia_start_energy", 0, 40, 50, 30, 5},
    {76, 8, KindButton, "Enemy Respawn", "ia_respawn", ActionToggle, 30, 65, 40, 5},
    {77, 8, KindButton, "Start", "", ActionStart, 30, 70, 40, 5},
    {78, 8, KindButton, "Back", "6", ActionGoToPage, 30, 80, 30, 5},
};

TEST_F(MenuTable, HoldsTheSeventyEightItemsAndLeavesTheRestFree) {
    EXPECT_EQ(NextMenuItem, 79);
    for (int32_t Slot = 1; Slot <= MenuItemSlots; ++Slot)
        EXPECT_EQ(MenuItems[Slot].Used, Slot <= 78) << "slot " << Slot;
    EXPECT_FALSE(MenuItems[0].Used);
}

TEST_F(MenuTable, ItemsSitWhereTheTreeSays) {
    for (const Expected& E : SpotChecks) {
        const MenuItem& Item = MenuItems[E.Slot];
        SCOPED_TRACE("slot " + std::to_string(E.Slot));
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

TEST_F(MenuTable, EveryPageOpensWithItsTitle) {
    const char* const Titles[] = {"",         "MAIN MENU",      "SETTINGS",      "GRAPHICS SETTINGS",
                                  "SOUND SETTINGS", "OTHER SETTINGS", "SINGLE PLAYER", "MULTIPLAYER",
                                  "CUSTOM ARENA",   "PLAYER SETTINGS", "END GAME"};
    for (int32_t Page = 1; Page <= MenuPageCount; ++Page) {
        int32_t First = 0, TitleCount = 0;
        for (int32_t Slot = 1; Slot <= 78; ++Slot) {
            if (MenuItems[Slot].Page != Page) continue;
            if (First == 0) First = Slot;
            if (MenuItems[Slot].Kind == KindPageTitle) ++TitleCount;
        }
        ASSERT_NE(First, 0) << "page " << Page << " has no items";
        EXPECT_EQ(TitleCount, 1) << "page " << Page;
        EXPECT_EQ(MenuItems[First].Caption, Titles[Page]);
        EXPECT_EQ(MenuItems[First].Kind, KindPageTitle);
    }
}

TEST_F(MenuTable, EveryLinkLeadsToAPageAndEveryPageCanBeLeft) {
    for (int32_t Slot = 1; Slot <= 78; ++Slot) {
        const MenuItem& Item = MenuItems[Slot];
        if (Item.Action != ActionGoToPage) continue;
        const int Target = std::stoi(Item.Key);
        EXPECT_GE(Target, 1);
        EXPECT_LE(Target, MenuPageCount);
        EXPECT_NE(Target, Item.Page) << "slot " << Slot;
        if (Item.Caption == "Back") {
            // Back climbs one level: sub-settings to settings, custom arena to single player.
            const int Up = Item.Page == 8 ? 6 : (Item.Page == 2 || Item.Page == 6 || Item.Page == 7) ? 1 : 2;
            EXPECT_EQ(Target, Up) << "Back on page " << Item.Page;
        }
    }
}

TEST_F(MenuTable, TogglesAndSteppersNameKnownSettings) {
    for (int32_t Slot = 1; Slot <= 78; ++Slot) {
        const MenuItem& Item = MenuItems[Slot];
        EXPECT_EQ(MenuToggleFlag(Item.Key) != nullptr, Item.Action == ActionToggle) << Item.Key;
        if (Item.Action == ActionIncrease || Item.Action == ActionDecrease) {
            // Every stepper sits beside the value label that shows its setting.
            bool HasLabel = false;
            for (int32_t Other = 1; Other <= 78; ++Other)
                HasLabel |= MenuItems[Other].Kind == KindValueLabel && MenuItems[Other].Page == Item.Page &&
                            (MenuItems[Other].Key == Item.Key || (MenuItems[Other].Key == "Color" &&
                                                                 Item.Key.rfind("Color", 0) == 0));
            EXPECT_TRUE(HasLabel) << "slot " << Slot;
        }
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

TEST_F(MenuTable, APageChangeFadesTheOldPageOut) {
    ChangeMenuPage(PageSettings);
    EXPECT_EQ(PreviousMenuPage, PageMain);
    EXPECT_EQ(MenuPage, PageSettings);
    EXPECT_EQ(MenuTransition, 1.0);
}

TEST_F(MenuTable, TitlesAreNeverHit) {
    // Sweep the whole screen on every page: no position finds a title.
    for (int32_t Page = 1; Page <= MenuPageCount; ++Page) {
        MenuPage = Page;
        for (float Y = 0; Y <= 100; Y += 0.25f)
            for (float X = 0; X <= 100; X += 0.25f) {
                PointAt(X, Y);
                const int32_t Hit = MenuHitTest();
                if (Hit > 0) {
                    ASSERT_NE(MenuItems[Hit].Kind, KindPageTitle) << X << "," << Y;
                }
            }
    }
}

TEST_F(MenuTable, TheNameFieldHasNoWidthUntilDrawn) {
    EXPECT_EQ(MenuItems[44].Width, 0);
    MenuPage = PagePlayer;
    PointAt(30.5f, 42);
    EXPECT_EQ(MenuHitTest(), -1);
}

} // namespace
