// Reading and writing the two settings files. Each file is described by one table of its keys
// in the order they are written; loading reads every key with its default, then applies the
// range checks in their own order, replacing a value outside its range by its fallback.
#include "menu/Settings.h"

#include <charconv>
#include <cmath>
#include <string>
#include <variant>

#include "core/KeyBindings.h"
#include "menu/PointerStars.h"
#include "platform/Ini.h"
#include "platform/Platform.h"
#include "platform/UserPaths.h"

namespace {

// How a value is kept in the file.
enum class Encoding {
    Integer,        // decimal text; anything else reads as the default
    Boolean,        // "1" or "0"; read as an integer, any value but 0 is on
    Float,          // up to 15 significant digits, "." as decimal separator
    FloatAsInteger, // written as a float, read as an integer: a fraction reads as the default
    Text,           // as is
};

using Variable = std::variant<int32_t*, int16_t*, float*, double*, bool*, std::string*>;

struct SettingKey {
    const char* Section;
    const char* Key;
    Encoding    Kind;
    Variable    Target;
    double      Default;     // numbers and booleans (1 on, 0 off)
    const char* TextDefault; // text values
};

// A value outside Min..Max when read is replaced by Fallback.
struct RangeCheck {
    const char* Key;
    double      Min;
    double      Max;
    double      Fallback;
};

// A "Keys" row: the action's key name and its usual key are those of the bindings table.
SettingKey BindingKey(KeyAction Action) {
    return {"Keys", KeyBindings[Action].Name, Encoding::Text, &KeyBindingNames[Action], 0,
            KeyBindings[Action].DefaultKey};
}

const SettingKey PreferenceKeys[] = {
    {"Graphics", "Detail",      Encoding::Integer,        &DetailLevel,      2,   nullptr},
    {"Graphics", "Resolution",  Encoding::Integer,        &ResolutionWanted, 2,   nullptr},
    {"Graphics", "Anisotropic", Encoding::FloatAsInteger, &Anisotropy,       0,   nullptr},
    {"Graphics", "AnimatedModels", Encoding::Boolean,     &AnimatedModels,   1,   nullptr},
    {"Sound",    "Volume",      Encoding::Integer,        &SoundVolume,      100, nullptr},
    {"Sound",    "Enabled",     Encoding::Boolean,        &SoundEnabled,     1,   nullptr},
    {"Other",    "Log",         Encoding::Boolean,        &ShowLog,          1,   nullptr},
    {"Other",    "Compass",     Encoding::Boolean,        &ShowCompass,      1,   nullptr},
    {"Other",    "Crosshair",   Encoding::Boolean,        &ShowCrosshairs,   1,   nullptr},
    {"Other",    "Radar",       Encoding::Boolean,        &ShowRadar,        1,   nullptr},
    {"Other",    "Help",        Encoding::Boolean,        &ShowHelp,         1,   nullptr},
    {"Other",    "Particles",   Encoding::Boolean,        &ShowParticles,    1,   nullptr},
    {"Other",    "LittleStars", Encoding::Boolean,        &ShowPointerStars, 1,   nullptr},
    {"Player",   "Name",        Encoding::Text,           &Actors[0].Name,   0,   "PLAYER"},
    {"Player",   "ColorR",      Encoding::Float,          &Actors[0].ColorR, 1.0, nullptr},
    {"Player",   "ColorG",      Encoding::Float,          &Actors[0].ColorG, 1.0, nullptr},
    {"Player",   "ColorB",      Encoding::Float,          &Actors[0].ColorB, 1.0, nullptr},
    // Additions of the Linux game: full screen over the desktop, and the key of each action
    // by its SDL key name (resolved by ApplyKeyBindings).
    {"Graphics", "Fullscreen",       Encoding::Boolean, &FullscreenWanted,                          1, nullptr},
    BindingKey(ActionForward),
    BindingKey(ActionBackward),
    BindingKey(ActionTurnLeft),
    BindingKey(ActionTurnRight),
    BindingKey(ActionFire),
    BindingKey(ActionFire2),
    BindingKey(ActionCamera),
    BindingKey(ActionToggleFPS),
    BindingKey(ActionToggleHelp),
    BindingKey(ActionToggleRadar),
    BindingKey(ActionToggleCrosshairs),
    BindingKey(ActionToggleCompass),
    BindingKey(ActionToggleTrees),
    BindingKey(ActionToggleLog),
    BindingKey(ActionToggleParticles),
};

// The order LoadSettings reads the keys in (the flags not quite in the written order).
const char* const PreferenceReadOrder[] = {
    "Detail", "Resolution", "Anisotropic", "AnimatedModels", "Volume", "Enabled", "Log", "Particles",
    "Compass", "Crosshair", "Radar", "Help", "LittleStars", "Name", "ColorR", "ColorG", "ColorB",
    "Fullscreen", "Forward", "Backward", "TurnLeft", "TurnRight", "Fire", "Fire2", "Camera",
    "ToggleFPS", "ToggleHelp", "ToggleRadar", "ToggleCrosshairs", "ToggleCompass", "ToggleTrees",
    "ToggleLog", "ToggleParticles",
};

// Checked after every key is read, in this order; the name's cut comes after the colours.
// A "Resolution" outside 1..5 gives 1024x768 (3), not the default 800x600 (2). "Volume" is
// tested after it has been kept in 16 bits; "Anisotropic" has no range.
const RangeCheck ColourChecks[] = {
    {"ColorR", 0.0, 1.0, 1.0},
    {"ColorG", 0.0, 1.0, 1.0},
    {"ColorB", 0.0, 1.0, 1.0},
};
const RangeCheck PreferenceChecks[] = {
    {"Detail",     1, 3,   2},
    {"Resolution", 1, 5,   3},
    {"Volume",     0, 100, 100},
};

const SettingKey ArenaKeys[] = {
    {"LastArena", "Tanks",    Encoding::Integer, &ArenaTanks,       10,  nullptr},
    {"LastArena", "Turrets",  Encoding::Integer, &ArenaTurrets,     10,  nullptr},
    {"LastArena", "Bonus",    Encoding::Integer, &ArenaBonus,       10,  nullptr},
    {"LastArena", "MaxShots", Encoding::Integer, &ArenaMaxShots,    2,   nullptr},
    {"LastArena", "Energy",   Encoding::Integer, &ArenaStartEnergy, 100, nullptr},
    {"LastArena", "Respawn",  Encoding::Boolean, &ArenaRespawn,     0,   nullptr},
};
const RangeCheck ArenaChecks[] = {
    {"Tanks",    0,  50,   10},
    {"Turrets",  0,  50,   10},
    {"Bonus",    0,  50,   10},
    {"MaxShots", 1,  20,   2},
    {"Energy",   10, 1000, 100},
};

} // namespace

// A whole decimal integer that fits 32 bits, with an optional sign.
static bool ParseInteger(const std::string& Text, int32_t& Value) {
    const char* First = Text.data();
    const char* Last = First + Text.size();
    if (First != Last && *First == '+' && Last - First > 1 && First[1] != '-')
        ++First;
    const auto Result = std::from_chars(First, Last, Value);
    return Result.ec == std::errc() && Result.ptr == Last;
}

// A finite decimal number: sign, digits with an optional "." and fraction, optional exponent.
static bool ParseFloat(const std::string& Text, double& Value) {
    size_t I = 0;
    const auto Digits = [&] {
        const size_t Start = I;
        while (I < Text.size() && Text[I] >= '0' && Text[I] <= '9')
            ++I;
        return I - Start;
    };
    const size_t Sign = (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) ? 1 : 0;
    I += Sign;
    size_t Mantissa = Digits();
    if (I < Text.size() && Text[I] == '.') {
        ++I;
        Mantissa += Digits();
    }
    if (Mantissa == 0)
        return false;
    if (I < Text.size() && (Text[I] == 'e' || Text[I] == 'E')) {
        ++I;
        if (I < Text.size() && (Text[I] == '+' || Text[I] == '-'))
            ++I;
        if (Digits() == 0)
            return false;
    }
    if (I != Text.size())
        return false;
    const char* First = Text.data() + (Text[0] == '+' ? 1 : 0);
    const auto  Result = std::from_chars(First, Text.data() + Text.size(), Value);
    return Result.ec == std::errc() && std::isfinite(Value);
}

// Up to 15 significant digits, "." as the separator, no fraction on a whole value.
static std::string FormatFloat(double Value) {
    char       Text[64];
    const auto Result = std::to_chars(Text, Text + sizeof Text, Value, std::chars_format::general, 15);
    return std::string(Text, Result.ptr);
}

// Stores a number into the key's variable; a 16-bit variable keeps the low 16 bits.
static void SetNumber(const Variable& Target, double Value) {
    std::visit(
        [Value](auto* V) {
            using T = std::remove_pointer_t<decltype(V)>;
            if constexpr (std::is_same_v<T, bool>)
                *V = Value != 0;
            else if constexpr (std::is_same_v<T, int16_t>)
                *V = int16_t(int32_t(Value));
            else if constexpr (std::is_arithmetic_v<T>)
                *V = T(Value);
        },
        Target);
}

static double GetNumber(const Variable& Target) {
    return std::visit(
        [](auto* V) -> double {
            if constexpr (std::is_arithmetic_v<std::remove_pointer_t<decltype(V)>>)
                return double(*V);
            else
                return 0.0;
        },
        Target);
}

static void ReadKey(const IniDocument& Doc, const SettingKey& K) {
    std::string Text;
    const bool  Found = IniFindValue(Doc, K.Section, K.Key, Text);
    int32_t     Whole = 0;
    double      Real = 0.0;
    switch (K.Kind) {
    case Encoding::Text:
        *std::get<std::string*>(K.Target) = Found ? Text : K.TextDefault;
        break;
    case Encoding::Float:
        SetNumber(K.Target, Found && ParseFloat(Text, Real) ? Real : K.Default);
        break;
    case Encoding::Integer:
    case Encoding::Boolean:
    case Encoding::FloatAsInteger:
        SetNumber(K.Target, Found && ParseInteger(Text, Whole) ? double(Whole) : K.Default);
        break;
    }
}

static std::string KeyText(const SettingKey& K) {
    switch (K.Kind) {
    case Encoding::Text:
        return *std::get<std::string*>(K.Target);
    case Encoding::Boolean:
        return GetNumber(K.Target) != 0 ? "1" : "0";
    case Encoding::Integer:
        return std::to_string(int64_t(GetNumber(K.Target)));
    case Encoding::Float:
    case Encoding::FloatAsInteger:
        break;
    }
    return FormatFloat(GetNumber(K.Target));
}

template <size_t N> static const SettingKey& KeyNamed(const SettingKey (&Table)[N], const char* Key) {
    for (const SettingKey& K : Table)
        if (std::string_view(K.Key) == Key)
            return K;
    return Table[0]; // every name used below is in its table
}

template <size_t N, size_t M>
static void ApplyChecks(const SettingKey (&Table)[N], const RangeCheck (&Checks)[M]) {
    for (const RangeCheck& C : Checks) {
        const SettingKey& K = KeyNamed(Table, C.Key);
        const double      Value = GetNumber(K.Target);
        if (!(Value >= C.Min && Value <= C.Max))
            SetNumber(K.Target, C.Fallback);
    }
}

// Writes every key of Table into the file at Path, keeping its other lines, as one atomic
// replacement: a failed save leaves the old file as it was and tells the player. A file whose
// other lines cannot be read is not saved over, since they would be lost.
template <size_t N> static void SaveKeys(const char* Path, const SettingKey (&Table)[N]) {
    IniDocument Doc;
    bool        Saved = LoadIniForUpdate(Path, Doc);
    if (Saved) {
        for (const SettingKey& K : Table)
            IniWriteString(Doc, K.Section, K.Key, KeyText(K));
        Saved = ReplaceFileContents(Path, IniText(Doc));
    }
    if (!Saved)
        ShowMessage(std::string("Unable to write to ") + Path, "Error");
}

static void SpawnCornerStars() {
    SpawnPointerStars(20, true, 0, 100);
    SpawnPointerStars(20, true, 100, 100);
}

void LoadSettings() {
    IniDocument Doc;
    LoadIniFile(UserFilePath(SettingsPath), Doc);
    for (const char* Key : PreferenceReadOrder)
        ReadKey(Doc, KeyNamed(PreferenceKeys, Key));
    ApplyChecks(PreferenceKeys, ColourChecks);
    if (Actors[0].Name.size() > PlayerNameMaxLength)
        Actors[0].Name.resize(PlayerNameMaxLength);
    ApplyChecks(PreferenceKeys, PreferenceChecks);
    ApplyKeyBindings();
    SpawnCornerStars();
}

void SaveSettings() {
    SaveKeys(UserFilePath(SettingsPath).c_str(), PreferenceKeys);
    SpawnCornerStars();
}

void LoadLastArena() {
    IniDocument Doc;
    LoadIniFile(UserFilePath(LastArenaPath), Doc);
    for (const SettingKey& K : ArenaKeys)
        ReadKey(Doc, K);
    ApplyChecks(ArenaKeys, ArenaChecks);
}

void SetArenaDefaults() {
    for (const SettingKey& K : ArenaKeys)
        SetNumber(K.Target, K.Default);
}

void SaveLastArena() { SaveKeys(UserFilePath(LastArenaPath).c_str(), ArenaKeys); }
