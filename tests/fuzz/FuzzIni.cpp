// Fuzz target: any bytes as INI text, read back through the document layer and through both
// settings loaders, which must always end with every value inside its range.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ScratchFolder.h"
#include "menu/Settings.h"
#include "platform/Ini.h"

static void WriteFile(const char* Path, const uint8_t* Data, size_t Size) {
    FILE* F = std::fopen(Path, "wb");
    if (F == nullptr) abort();
    if (Size > 0 && std::fwrite(Data, 1, Size, F) != Size) abort();
    std::fclose(F);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    EnterScratchFolder();
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    IniDocument Doc = ParseIni(Text);
    std::string Value;
    IniFindValue(Doc, "Settings", "DetailLevel", Value);
    IniReadString(Doc, "Arena", "Tanks", "0");
    IniWriteString(Doc, "Settings", "Name", Text.substr(0, 64));
    // A value written survives being saved and read again, whatever the text around it.
    const std::string Written = IniReadString(Doc, "Settings", "Name", "?");
    if (IniReadString(ParseIni(IniText(Doc)), "Settings", "Name", "?") != Written) abort();

    WriteFile(SettingsPath, Data, Size);
    WriteFile(LastArenaPath, Data, Size);
    LoadSettings();
    LoadLastArena();
    if (DetailLevel < 1 || DetailLevel > 3 || SoundVolume < 0 || SoundVolume > 100) abort();
    if (ArenaTanks < 0 || ArenaTanks > 50 || ArenaTurrets < 0 || ArenaTurrets > 50) abort();
    if (ArenaBonus < 0 || ArenaBonus > 50 || ArenaMaxShots < 1 || ArenaMaxShots > 20) abort();
    if (ArenaStartEnergy < 10 || ArenaStartEnergy > 1000) abort();
    return 0;
}
