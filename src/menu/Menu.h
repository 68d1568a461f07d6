// The menu model: one table of items, every page of the menu is the set of items carrying its number.
//
// Positions and sizes are screen percent, x from the left edge, y down from the top edge, whatever
// the display resolution; drawing turns a y of this table into the overlay's 100 - y.
#pragma once
#include <cstdint>
#include <string>

#include "core/GameState.h"

constexpr int32_t MenuItemSlots = 100; // slots of MenuItems, numbered 1..MenuItemSlots (0 unused)

// Item kinds.
constexpr int16_t KindButton     = 1; // translucent box with the caption, grows when hovered
constexpr int16_t KindValueLabel = 2; // the current value of the setting named by Key
constexpr int16_t KindPageTitle  = 3; // caption in the big font; zero size, never hit
constexpr int16_t KindTextField  = 4; // box with "Name:" and the player's name

// Button actions.
constexpr int16_t ActionGoToPage = 1; // Key is the target page number as decimal text
constexpr int16_t ActionQuit     = 2; // end the program
constexpr int16_t ActionStart    = 3; // start a new custom arena game
constexpr int16_t ActionIncrease = 4; // raise the setting named by Key one step
constexpr int16_t ActionDecrease = 5; // lower the setting named by Key one step
constexpr int16_t ActionToggle   = 6; // flip the on/off setting named by Key
constexpr int16_t ActionSaveLoad = 7; // Key "Save" writes the settings file, "Load" reads it
constexpr int16_t ActionResume   = 8; // return to the game in progress
constexpr int16_t ActionEndGame  = 9; // abandon the game in progress

// The pages.
constexpr int32_t PageMain         = 1;  // "MAIN MENU"
constexpr int32_t PageSettings     = 2;  // "SETTINGS"
constexpr int32_t PageGraphics     = 3;  // "GRAPHICS SETTINGS"
constexpr int32_t PageSound        = 4;  // "SOUND SETTINGS"
constexpr int32_t PageOther        = 5;  // "OTHER SETTINGS"
constexpr int32_t PageSinglePlayer = 6;  // "SINGLE PLAYER"
constexpr int32_t PageMultiplayer  = 7;  // "MULTIPLAYER": a title and "Back", the game has no network play
constexpr int32_t PageCustomArena  = 8;  // "CUSTOM ARENA"
constexpr int32_t PagePlayer       = 9;  // "PLAYER SETTINGS"
constexpr int32_t PageEndGame      = 10; // "END GAME"
constexpr int32_t MenuPageCount    = 10; // pages are numbered 1..MenuPageCount

struct MenuItem {
    bool        Hover;   // the pointer is over the item (hit test); cleared by a click
    bool        Used;    // the slot holds an item; only used slots are drawn or hit
    std::string Caption; // text drawn on the item; empty for value labels and the text field
    int32_t     Page;    // page the item belongs to, 1..MenuPageCount
    double      X;       // left edge, percent from the left
    double      Y;       // top edge, percent from the top
    double      Height;  // percent; 5 for every item but the titles (0)
    double      Width;   // percent; the text field's follows the name and is set when drawn
    int16_t     Kind;    // KindButton .. KindTextField
    int16_t     Action;  // ActionGoToPage .. ActionEndGame, buttons only
    std::string Key;     // target page, setting name, or "Save"/"Load"
};

extern MenuItem MenuItems[MenuItemSlots + 1]; // the menu table, slots 1..MenuItemSlots; zero at start
extern int32_t  NextMenuItem;     // number of the next free slot; 1 at start
extern int32_t  MenuPage;         // page shown; 1 after the first game setup
extern int32_t  PreviousMenuPage; // page fading out after a page change; 0 at start
extern double   MenuTransition;   // 1.0 right after a page change, falling to 0.0 while drawn
extern double   HoverItemY;       // Y of the item under the pointer, -100.0 when there is none

// Fills slot NextMenuItem (Used, Caption, Page, Kind, X, Y), returns its number and moves on.
// Checks nothing: the table holds MenuItemSlots items in a run.
int32_t AddMenuItem(int32_t Page, const std::string& Caption, int16_t Kind, double X, double Y);

// Adds the whole menu tree, in table order, to the free slots. Called once, by the first setup.
void BuildMenu();

// Clears the hover and used flags of every slot (first game setup, before BuildMenu).
void ClearMenuItems();

// The menu's part of the first game setup, before the world's: the table cleared and built,
// the backdrop seeded, the main page shown.
void SetupMenu();

// A page change: the shown page starts fading out while Page fades in.
void ChangeMenuPage(int32_t Page);

// The on/off setting a toggle button names by its Key ("Log", "Sound", ...); null for other keys.
bool* MenuToggleFlag(const std::string& Key);
