// Shared set-up of the settings tests: a fresh working folder of its own for each test, every
// setting first put at an odd value so that a value a load did not set is seen, and the files'
// text read and written whole.
#pragma once
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#include "MenuFixture.h"
#include "menu/Settings.h"
#include "support/TempFolder.h"

inline std::string ReadText(const std::filesystem::path& Path) {
    std::ifstream File(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::filesystem::path& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

class SettingsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.Ready());
        Scramble();
    }
    static void Scramble() {
        DetailLevel = 7;
        ResolutionWanted = 7;
        Anisotropy = 7.5f;
        AnimatedModels = false;
        SoundVolume = 7;
        SoundEnabled = ShowLog = ShowCompass = ShowCrosshairs = false;
        ShowRadar = ShowHelp = ShowParticles = ShowPointerStars = false;
        Actors[0].Name = "SCRAMBLED";
        Actors[0].ColorR = Actors[0].ColorG = Actors[0].ColorB = 7.0;
        ArenaTanks = ArenaTurrets = ArenaBonus = ArenaStartEnergy = ArenaMaxShots = 7;
        ArenaRespawn = true;
    }
    // The preferences a player gets without a usable "./default.ini": 800x600, medium detail,
    // no anisotropic filtering, volume 100, sound and every display toggle on, "PLAYER" in white.
    static void ExpectDefaultPreferences() {
        EXPECT_EQ(DetailLevel, 2);
        EXPECT_EQ(ResolutionWanted, 2);
        EXPECT_EQ(Anisotropy, 0.0f);
        EXPECT_TRUE(AnimatedModels);
        EXPECT_EQ(SoundVolume, 100);
        EXPECT_TRUE(SoundEnabled && ShowLog && ShowCompass && ShowCrosshairs);
        EXPECT_TRUE(ShowRadar && ShowHelp && ShowParticles && ShowPointerStars);
        EXPECT_EQ(Actors[0].Name, "PLAYER");
        EXPECT_EQ(Actors[0].ColorR, 1.0);
        EXPECT_EQ(Actors[0].ColorG, 1.0);
        EXPECT_EQ(Actors[0].ColorB, 1.0);
    }
    static void LoadPreferences(const std::string& Text) {
        WriteText("default.ini", Text);
        LoadSettings();
    }
    size_t EntriesInFolder() const {
        return size_t(std::distance(std::filesystem::directory_iterator(Folder),
                                    std::filesystem::directory_iterator()));
    }
    clsTempFolder                Temp;
    const std::filesystem::path& Folder = Temp.Path;
};
