// Key bindings: which key drives each action of the game. The "Keys" section of "./default.ini"
// names a key per action by its SDL key name ("Up", "A", "Space", "Left Ctrl"); the game still
// works on its Windows virtual-key table, so a bound key simply sets the slot in Keys that the
// action reads. Missing names keep the usual keys; unknown ones do too and are reported once.
#pragma once
#include <cstdint>
#include <string>

enum KeyAction : int32_t {
    ActionForward,
    ActionBackward,
    ActionTurnLeft,
    ActionTurnRight,
    ActionFire,
    ActionFire2,
    ActionCamera,
    ActionToggleFPS,
    ActionToggleHelp,
    ActionToggleRadar,
    ActionToggleCrosshairs,
    ActionToggleCompass,
    ActionToggleTrees,
    ActionToggleLog,
    ActionToggleParticles,
    KeyActionCount
};

struct KeyBinding_Rec {
    const char* Name;        // key of the "Keys" section
    int32_t     Slot;        // virtual-key code the action reads in Keys
    const char* DefaultKey;  // key name of the usual key
};
extern const KeyBinding_Rec KeyBindings[KeyActionCount]; // by KeyAction

extern std::string KeyBindingNames[KeyActionCount]; // the "Keys" values as read; written back on save
extern int32_t     BoundKeys[KeyActionCount];       // SDL key code per action; 0 the usual key

// Resolves KeyBindingNames into BoundKeys. An unknown name or one already taken by an earlier
// action keeps the action's usual key, and the problem is put in the event log: at once when a
// game is set up, else by ReportKeyBindingProblems once the log exists.
void ApplyKeyBindings();
void ReportKeyBindingProblems();

int32_t BoundKey(int32_t Action); // SDL key code in effect for Action

// The Keys slot a key press of SDL key Sym sets in a running game. Natural is the key's own
// virtual-key code (-1 for none): a key bound to an action gives the action's slot; a key whose
// code is the slot of an action moved to another key gives -1; any other key its own code.
int32_t BoundKeySlot(int32_t Sym, int32_t Natural);

// A help line with each usual key quoted in it ('a', 't', "the arrow keys") replaced by the
// bound key; unchanged while the usual keys are bound.
std::string BoundHelpText(const std::string& Line);
