// The key bindings table, name resolution and the help text built from it.
#include "shell/KeyBindings.h"

#include "shell/App.h"
#include "world/EventLog.h"

#include <SDL.h>
#include <algorithm>
#include <cctype>
#include <vector>

const KeyBinding_Rec KeyBindings[KeyActionCount] = {
    {"Forward",          38, "Up",    SDLK_UP},
    {"Backward",         40, "Down",  SDLK_DOWN},
    {"TurnLeft",         37, "Left",  SDLK_LEFT},
    {"TurnRight",        39, "Right", SDLK_RIGHT},
    {"Fire",             65, "A",     SDLK_a},
    {"Fire2",            32, "Space", SDLK_SPACE},
    {"Camera",           67, "C",     SDLK_c},
    {"ToggleFPS",        70, "F",     SDLK_f},
    {"ToggleHelp",       72, "H",     SDLK_h},
    {"ToggleRadar",      82, "R",     SDLK_r},
    {"ToggleCrosshairs", 83, "S",     SDLK_s},
    {"ToggleCompass",    79, "O",     SDLK_o},
    {"ToggleTrees",      84, "T",     SDLK_t},
    {"ToggleLog",        76, "L",     SDLK_l},
    {"ToggleParticles",  80, "P",     SDLK_p},
};

std::string KeyBindingNames[KeyActionCount];
int32_t     BoundKeys[KeyActionCount] = {};

namespace {

std::vector<std::string> PendingReports; // binding problems waiting for the event log

int32_t DefaultKeyCode(int32_t Action) { return KeyBindings[Action].DefaultCode; }

bool TakenBefore(int32_t Action, int32_t Code) {
    for (int32_t Earlier = 0; Earlier < Action; ++Earlier)
        if (BoundKey(Earlier) == Code)
            return true;
    return false;
}

std::string Quoted(int32_t Code) {
    std::string Name = SDL_GetKeyName(Code);
    for (char& C : Name)
        C = char(std::tolower(static_cast<unsigned char>(C)));
    return "'" + Name + "'";
}

} // namespace

void ApplyKeyBindings() {
    PendingReports.clear();
    for (int32_t Action = 0; Action < KeyActionCount; ++Action) {
        const std::string& Name = KeyBindingNames[Action];
        int32_t Code = Name.empty() ? DefaultKeyCode(Action) : SDL_GetKeyFromName(Name.c_str());
        if (Code == SDLK_UNKNOWN || TakenBefore(Action, Code)) {
            PendingReports.push_back(std::string(KeyBindings[Action].Name) + ": key \"" + Name +
                                     "\" unusable, " + KeyBindings[Action].DefaultKey + " kept");
            Code = DefaultKeyCode(Action);
        }
        BoundKeys[Action] = Code;
    }
    if (GameState != 0)
        ReportKeyBindingProblems();
}

void ReportKeyBindingProblems() {
    for (const std::string& Report : PendingReports)
        AddLogLine(Report, 1.0, 0.5, 0.0);
    PendingReports.clear();
}

int32_t BoundKey(int32_t Action) {
    return BoundKeys[Action] != 0 ? BoundKeys[Action] : DefaultKeyCode(Action);
}

int32_t BoundKeySlot(int32_t Sym, int32_t Natural) {
    for (int32_t Action = 0; Action < KeyActionCount; ++Action)
        if (BoundKey(Action) == Sym)
            return KeyBindings[Action].Slot;
    // A key whose own code is the slot of an action bound elsewhere no longer acts; other keys
    // with that code (the keypad's arrows) still do while the action keeps its usual key.
    for (int32_t Action = 0; Action < KeyActionCount; ++Action)
        if (KeyBindings[Action].Slot == Natural && BoundKey(Action) != DefaultKeyCode(Action))
            return -1;
    return Natural;
}

// Replacements are found in the original line and applied together, so swapping two keys
// ('r' and 'h') cannot rewrite a key that was already replaced.
std::string BoundHelpText(const std::string& Line) {
    struct Change {
        size_t      At;
        size_t      Length;
        std::string To;
    };
    std::vector<Change> Changes;
    const auto          Find = [&](const std::string& From, const std::string& To) {
        const size_t At = Line.find(From);
        if (At != std::string::npos)
            Changes.push_back({At, From.size(), To});
    };
    bool ArrowsMoved = false;
    for (int32_t Action = ActionForward; Action <= ActionTurnRight; ++Action)
        ArrowsMoved = ArrowsMoved || BoundKey(Action) != DefaultKeyCode(Action);
    if (ArrowsMoved)
        Find("the arrow keys", Quoted(BoundKey(ActionForward)) + "," + Quoted(BoundKey(ActionBackward)) +
                                   "," + Quoted(BoundKey(ActionTurnLeft)) + "," +
                                   Quoted(BoundKey(ActionTurnRight)));
    // The second fire key and the log window's key are not named in the help.
    for (int32_t Action = ActionFire; Action < KeyActionCount; ++Action)
        if (Action != ActionFire2 && Action != ActionToggleLog && BoundKey(Action) != DefaultKeyCode(Action))
            Find(Quoted(DefaultKeyCode(Action)), Quoted(BoundKey(Action)));
    std::sort(Changes.begin(), Changes.end(), [](const Change& A, const Change& B) { return A.At > B.At; });
    std::string Text = Line;
    for (const Change& C : Changes)
        Text.replace(C.At, C.Length, C.To);
    return Text;
}
