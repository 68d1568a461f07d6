// Menu input and actions: which item is under the pointer, what a click on it does, name entry.
#pragma once
#include <cstdint>

extern float MaxAnisotropy; // largest anisotropic level the driver reports; 0 until asked

// The item under the pointer on the shown page (the highest slot where items overlap), or -1.
// Maintains Hover of the shown page's items and HoverItemY. Nothing is hit during a page fade.
int32_t MenuHitTest();

// Performs a click on item Item (1..MenuItemSlots).
void MenuAction(int32_t Item);

// A way into the game the menu's Start and Resume ask for; the shell enters the game right after
// the click's action (EnterRequestedGame), as the last step of that action.
enum class GameEntry { None, NewGame, Resume };
extern GameEntry GameEntryRequest; // None when no entry is waiting

// Name entry in the menu, once per frame while TextEditMode is on: upper-case letters, digits and
// space are appended, Backspace drops the last character, Return ends the entry.
void ProcessNameEntry();
