// The key bindings table, name resolution and the help text built from it.
#include "core/KeyBindings.h"

#include "core/EventLog.h"
#include "core/GameState.h"
#include "platform/KeyNames.h"

#include <algorithm>
#include <cctype>
#include <vector>

const KeyBinding_Rec KeyBindings[KeyActionCount] = {
    {"Forward",          38, "Up"},
    {"Backward",         40, "Down"},
    {"TurnLeft",         37, "Left"},
    {"TurnRight",        39, "Right"},
    {"Fire",             65, "A"},
    {"Fire2",            32, "Space"},
    {"Camera",           67, "C"},
    {"ToggleFPS",        70, "F"},
    {"ToggleHelp",       72, "H"},
    {"ToggleRadar",      82, "R"},
    {"ToggleCrosshairs", 83, "S"},
    {"ToggleCompass",    79, "O"},
    {"ToggleTrees",      84, "T"},
    {"ToggleLog",        76, "L"},
    {"ToggleParticles",  80, "P"},
};

std::string KeyBindingNames[KeyActionCount];
int32_t     BoundKeys[KeyActionCount] = {};

namespace {

std::vector<std::string> PendingReports; // binding problems waiting for the event log

// The key code of each action's usual key, looked up once by its name.
int32_t DefaultKeyCode(int32_t Action) {
    static int32_t Codes[KeyActionCount] = {};
    if (Codes[Action] == 0)
        Codes[Action] = KeyCodeFromName(KeyBindings[Action].DefaultKey);
    return Codes[Action];
}

bool TakenBefore(int32_t Action, int32_t Code) {
    for (int32_t Earlier = 0; Earlier < Action; ++Earlier)
        if (BoundKey(Earlier) == Code)
            return true;
    return false;
}

std::string Quoted(int32_t Code) {
    std::string Name = KeyNameOf(Code);
    for (char& C : Name)
        C = char(std::tolower(static_cast<unsigned char>(C)));
    return "'" + Name + "'";
}

} // namespace

void ApplyKeyBindings() {
    PendingReports.clear();
    for (int32_t Action = 0; Action < KeyActionCount; ++Action) {
        const std::string& Name = KeyBindingNames[Action];
        int32_t Code = Name.empty() ? DefaultKeyCode(Action) : KeyCodeFromName(Name.c_str());
        if (Code == UnknownKeyCode || TakenBefore(Action, Code)) {
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
