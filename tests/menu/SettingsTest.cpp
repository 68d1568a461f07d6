// The two settings files: defaults, fallbacks, the written form, the round trip and failed saves.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "menu/Settings.h"
#include "shell/Window.h"
#include "platform/Platform.h"
#include "support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& Path) {
    std::ifstream File(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& Path, const std::string& Text) {
    std::ofstream(Path, std::ios::binary) << Text;
}

// Runs each test inside a fresh folder of its own, with every setting at an odd value, so a
// value the load did not set is seen.
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
    static void LoadPreferences(const std::string& Text) {
        WriteText("default.ini", Text);
        LoadSettings();
    }
    static void LoadArena(const std::string& Text) {
        WriteText("lastarena.ini", Text);
        LoadLastArena();
    }
    size_t EntriesInFolder() const {
        return size_t(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()));
    }
    clsTempFolder   Temp;
    const fs::path& Folder = Temp.Path;
};

TEST_F(SettingsFiles, NoPreferencesFileGivesEveryDefault) {
    const int Messages = MessagesShown;
    LoadSettings();
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
    EXPECT_EQ(MessagesShown, Messages); // reading never reports
    EXPECT_FALSE(fs::exists("default.ini"));
}

TEST_F(SettingsFiles, OutOfRangePreferencesTakeTheirFallbacks) {
    LoadPreferences("[Graphics]\nDetail=0\nResolution=9\n[Sound]\nVolume=101\n"
                    "[Player]\nName=ABCDEFGHIJKLMNOPQRSTUVWXY\nColorR=-0.1\nColorG=1.5\nColorB=0.25\n");
    EXPECT_EQ(DetailLevel, 2);
    EXPECT_EQ(ResolutionWanted, 3); // 1024x768, not the default 800x600
    EXPECT_EQ(SoundVolume, 100);
    EXPECT_EQ(Actors[0].Name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(Actors[0].ColorR, 1.0);
    EXPECT_EQ(Actors[0].ColorG, 1.0);
    EXPECT_EQ(Actors[0].ColorB, 0.25);

    LoadPreferences("[Graphics]\nDetail=3\nResolution=0\n[Sound]\nVolume=-1\n");
    EXPECT_EQ(DetailLevel, 3);
    EXPECT_EQ(ResolutionWanted, 3);
    EXPECT_EQ(SoundVolume, 100);

    LoadPreferences("[Graphics]\nDetail=1\nResolution=5\n[Sound]\nVolume=0\n"
                    "[Player]\nName=lower case & more\nColorR=0\nColorG=1\n");
    EXPECT_EQ(DetailLevel, 1);
    EXPECT_EQ(ResolutionWanted, 5);
    EXPECT_EQ(SoundVolume, 0);
    EXPECT_EQ(Actors[0].Name, "lower case & more"); // no other test on a name
    EXPECT_EQ(Actors[0].ColorR, 0.0);
    EXPECT_EQ(Actors[0].ColorG, 1.0);
}

TEST_F(SettingsFiles, VolumeIsKeptInSixteenBitsBeforeItsRangeTest) {
    LoadPreferences("[Sound]\nVolume=65537\n"); // 65537 keeps 1
    EXPECT_EQ(SoundVolume, 1);
    LoadPreferences("[Sound]\nVolume=65636\n"); // keeps 100
    EXPECT_EQ(SoundVolume, 100);
    LoadPreferences("[Sound]\nVolume=65535\n"); // keeps -1: out of range
    EXPECT_EQ(SoundVolume, 100);
    LoadPreferences("[Sound]\nVolume=65586\n"); // keeps 50
    EXPECT_EQ(SoundVolume, 50);
}

TEST_F(SettingsFiles, TextThatIsNotANumberReadsAsTheDefault) {
    LoadPreferences("[Graphics]\nDetail=abc\nResolution=3.0\nAnisotropic=2.5\n"
                    "[Sound]\nVolume=5x\nEnabled=yes\n[Other]\nLog=\nRadar=0x1\n"
                    "[Player]\nColorR=half\nColorG=0,5\nColorB=nan\n");
    EXPECT_EQ(DetailLevel, 2);
    EXPECT_EQ(ResolutionWanted, 2); // the default, since the text is not an integer
    EXPECT_EQ(Anisotropy, 0.0f);    // a fraction reads as 0
    EXPECT_EQ(SoundVolume, 100);
    EXPECT_TRUE(SoundEnabled); // "yes" is not an integer: the default, on
    EXPECT_TRUE(ShowLog);
    EXPECT_TRUE(ShowRadar);
    EXPECT_EQ(Actors[0].ColorR, 1.0);
    EXPECT_EQ(Actors[0].ColorG, 1.0); // "," is no decimal separator here
    EXPECT_EQ(Actors[0].ColorB, 1.0);

    LoadPreferences("[Graphics]\nDetail=99999999999\n[Player]\nColorR=+.5\nColorG=5E-1\n");
    EXPECT_EQ(DetailLevel, 2); // does not fit 32 bits
    EXPECT_EQ(Actors[0].ColorR, 0.5);
    EXPECT_EQ(Actors[0].ColorG, 0.5);
}

TEST_F(SettingsFiles, AnisotropicIsAnIntegerWithoutRangeAndFlagsAreAnyInteger) {
    LoadPreferences("[Graphics]\nAnisotropic=4\n[Sound]\nEnabled=2\n"
                    "[Other]\nLog=0\nCompass=-3\nCrosshair=0\nRadar=1\nHelp=+0\nParticles=00\n"
                    "LittleStars=7\n");
    EXPECT_EQ(Anisotropy, 4.0f);
    EXPECT_TRUE(SoundEnabled);
    EXPECT_FALSE(ShowLog);
    EXPECT_TRUE(ShowCompass);
    EXPECT_FALSE(ShowCrosshairs);
    EXPECT_TRUE(ShowRadar);
    EXPECT_FALSE(ShowHelp);
    EXPECT_FALSE(ShowParticles);
    EXPECT_TRUE(ShowPointerStars);
    LoadPreferences("[Graphics]\nAnisotropic=99\n");
    EXPECT_EQ(Anisotropy, 99.0f); // whatever the driver's maximum
}

TEST_F(SettingsFiles, HandWrittenFileWithMixedCaseAndCrlf) {
    LoadPreferences("[graphics]\r\n  DETAIL = 3 \r\nresolution=1\r\n[PLAYER]\r\nname =  ACE \r\n"
                    "Name=SECOND\r\n");
    EXPECT_EQ(DetailLevel, 3);
    EXPECT_EQ(ResolutionWanted, 1);
    EXPECT_EQ(Actors[0].Name, "ACE");
}

TEST_F(SettingsFiles, SaveWritesEveryKeyInTableOrder) {
    LoadSettings();
    Actors[0].ColorG = 0.1 * 3;
    SaveSettings();
    EXPECT_EQ(ReadText("default.ini"), "[Graphics]\nDetail=2\nResolution=2\nAnisotropic=0\n"
                                       "AnimatedModels=1\nFullscreen=1\n\n"
                                       "[Sound]\nVolume=100\nEnabled=1\n\n"
                                       "[Other]\nLog=1\nCompass=1\nCrosshair=1\nRadar=1\nHelp=1\n"
                                       "Particles=1\nLittleStars=1\n\n"
                                       "[Player]\nName=PLAYER\nColorR=1\nColorG=0.3\nColorB=1\n\n"
                                       "[Keys]\nForward=Up\nBackward=Down\nTurnLeft=Left\n"
                                       "TurnRight=Right\nFire=A\nFire2=Space\nCamera=C\nToggleFPS=F\n"
                                       "ToggleHelp=H\nToggleRadar=R\nToggleCrosshairs=S\n"
                                       "ToggleCompass=O\nToggleTrees=T\nToggleLog=L\n"
                                       "ToggleParticles=P\n");
}

TEST_F(SettingsFiles, SaveThenLoadGivesBackEveryValue) {
    DetailLevel = 3;
    ResolutionWanted = 5;
    Anisotropy = 16;
    AnimatedModels = false;
    SoundVolume = 42;
    SoundEnabled = false;
    ShowLog = ShowHelp = ShowPointerStars = false;
    ShowCompass = ShowCrosshairs = ShowRadar = ShowParticles = true;
    Actors[0].Name = "ROUND TRIP";
    Actors[0].ColorR = 1.0;
    for (int Step = 0; Step < 10; ++Step)
        Actors[0].ColorR -= 0.1; // ten menu steps down leave a tiny remainder, not 0
    const double Remainder = Actors[0].ColorR;
    ASSERT_GT(Remainder, 0.0);
    Actors[0].ColorG = 0.7;
    Actors[0].ColorB = 0.1 + 0.2;
    SaveSettings();
    Scramble();
    LoadSettings();
    EXPECT_EQ(DetailLevel, 3);
    EXPECT_EQ(ResolutionWanted, 5);
    EXPECT_EQ(Anisotropy, 16.0f);
    EXPECT_FALSE(AnimatedModels);
    EXPECT_EQ(SoundVolume, 42);
    EXPECT_FALSE(SoundEnabled || ShowLog || ShowHelp || ShowPointerStars);
    EXPECT_TRUE(ShowCompass && ShowCrosshairs && ShowRadar && ShowParticles);
    EXPECT_EQ(Actors[0].Name, "ROUND TRIP");
    EXPECT_NEAR(Actors[0].ColorR, Remainder, Remainder * 1e-14);
    EXPECT_EQ(Actors[0].ColorG, 0.7);
    EXPECT_NEAR(Actors[0].ColorB, 0.3, 1e-15); // read back from its 15-digit text
}

TEST_F(SettingsFiles, AnimatedModelsMissingFromAnOlderFileReadsAsOn) {
    LoadPreferences("[Graphics]\nDetail=3\nResolution=1\nAnisotropic=2\n");
    EXPECT_TRUE(AnimatedModels);
    EXPECT_EQ(DetailLevel, 3);
    LoadPreferences("[Graphics]\nAnimatedModels=0\n");
    EXPECT_FALSE(AnimatedModels);
    SaveSettings();
    EXPECT_NE(ReadText("default.ini").find("AnimatedModels=0\n"), std::string::npos);
    AnimatedModels = true;
    LoadSettings();
    EXPECT_FALSE(AnimatedModels);
}

TEST_F(SettingsFiles, SaveKeepsCommentsAndForeignKeys) {
    WriteText("default.ini", "; my settings\r\n[Graphics]\r\nDetail=1\r\nGamma=2.2\r\n"
                             "[Mods]\r\nFast=1\r\n");
    LoadSettings();
    DetailLevel = 3;
    SaveSettings();
    const std::string Text = ReadText("default.ini");
    EXPECT_EQ(Text.rfind("; my settings\r\n[Graphics]\r\nDetail=3\r\nGamma=2.2\r\n", 0), 0u) << Text;
    EXPECT_NE(Text.find("[Mods]\r\nFast=1\r\n"), std::string::npos) << Text;
    EXPECT_NE(Text.find("\r\n[Player]\r\nName=PLAYER\r\n"), std::string::npos) << Text;
    EXPECT_EQ(Text.find("\n\n"), std::string::npos) << "a lone LF in a CRLF file";
}

TEST_F(SettingsFiles, NoArenaFileGivesTheDefaultArena) {
    LoadLastArena();
    EXPECT_EQ(ArenaTanks, 10);
    EXPECT_EQ(ArenaTurrets, 10);
    EXPECT_EQ(ArenaBonus, 10);
    EXPECT_EQ(ArenaStartEnergy, 100);
    EXPECT_EQ(ArenaMaxShots, 2);
    EXPECT_FALSE(ArenaRespawn);
    SaveLastArena();
    EXPECT_EQ(ReadText("lastarena.ini"),
              "[LastArena]\nTanks=10\nTurrets=10\nBonus=10\nMaxShots=2\nEnergy=100\nRespawn=0\n");
}

TEST_F(SettingsFiles, ArenaValuesOutsideTheirRangesFallBack) {
    LoadArena("[LastArena]\nTanks=-1\nTurrets=51\nBonus=abc\nMaxShots=0\nEnergy=5\nRespawn=1\n");
    EXPECT_EQ(ArenaTanks, 10);
    EXPECT_EQ(ArenaTurrets, 10);
    EXPECT_EQ(ArenaBonus, 10);
    EXPECT_EQ(ArenaMaxShots, 2);
    EXPECT_EQ(ArenaStartEnergy, 100);
    EXPECT_TRUE(ArenaRespawn);

    LoadArena("[lastarena]\nTanks=50\nTurrets=0\nBonus=50\nMaxShots=20\nEnergy=1000\n");
    EXPECT_EQ(ArenaTanks, 50);
    EXPECT_EQ(ArenaTurrets, 0);
    EXPECT_EQ(ArenaBonus, 50);
    EXPECT_EQ(ArenaMaxShots, 20);
    EXPECT_EQ(ArenaStartEnergy, 1000);
    EXPECT_FALSE(ArenaRespawn);

    LoadArena("[LastArena]\nMaxShots=1\nEnergy=10\nMaxShots=21\nEnergy=1001\n");
    EXPECT_EQ(ArenaMaxShots, 1);
    EXPECT_EQ(ArenaStartEnergy, 10);
}

TEST_F(SettingsFiles, ArenaRoundTrip) {
    ArenaTanks = 3;
    ArenaTurrets = 0;
    ArenaBonus = 50;
    ArenaStartEnergy = 990;
    ArenaMaxShots = 20;
    ArenaRespawn = true;
    SaveLastArena();
    Scramble();
    LoadLastArena();
    EXPECT_EQ(ArenaTanks, 3);
    EXPECT_EQ(ArenaTurrets, 0);
    EXPECT_EQ(ArenaBonus, 50);
    EXPECT_EQ(ArenaStartEnergy, 990);
    EXPECT_EQ(ArenaMaxShots, 20);
    EXPECT_TRUE(ArenaRespawn);
}

// A save that runs out of room half way (the file-size limit stands in for a full disk)
// leaves the old file exactly as it was, reports the path, and the game carries on.
TEST_F(SettingsFiles, FailedSaveLeavesTheOldFileWhole) {
    const std::string Old = "[Graphics]\nDetail=1\n; old file, kept whole\n";
    WriteText("default.ini", Old);
    LoadSettings();
    DetailLevel = 3;
    const int Messages = MessagesShown;

    struct rlimit Saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Saved), 0);
    const auto PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = Saved;
    Small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
    SaveSettings();
    setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, PreviousHandler);

    EXPECT_EQ(ReadText("default.ini"), Old);
    EXPECT_EQ(MessagesShown, Messages + 1);
    EXPECT_EQ(LastMessageText, "Unable to write to ./default.ini");
    EXPECT_EQ(LastMessageCaption, "Error");
    EXPECT_EQ(EntriesInFolder(), 1u) << "the temporary file was left behind";

    SaveSettings(); // room again: the next save goes through
    EXPECT_NE(ReadText("default.ini").find("Detail=3"), std::string::npos);
    EXPECT_EQ(MessagesShown, Messages + 1);
}

TEST_F(SettingsFiles, SaveIntoAnUnwritablePlaceIsReported) {
    fs::create_directory("lastarena.ini"); // the name is taken by a folder
    const int Messages = MessagesShown;
    SaveLastArena();
    EXPECT_EQ(MessagesShown, Messages + 1);
    EXPECT_EQ(LastMessageText, "Unable to write to ./lastarena.ini");
    EXPECT_TRUE(fs::is_directory("lastarena.ini"));
    EXPECT_EQ(EntriesInFolder(), 1u);

    fs::remove_all(Folder); // the working folder itself has gone
    SaveSettings();
    EXPECT_EQ(MessagesShown, Messages + 2);
    EXPECT_EQ(LastMessageText, "Unable to write to ./default.ini");
    fs::create_directory(Folder); // back again for the fixture to remove
}

mode_t ModeOf(const fs::path& Path) {
    struct stat St{};
    return stat(Path.c_str(), &St) == 0 ? St.st_mode & 07777 : mode_t(-1);
}

// A file made read-only is protected: the save is refused with the message and the file stays
// exactly as it was, mode and text. (Run as root too, where the system would let it through.)
TEST_F(SettingsFiles, ReadOnlyFilesAreRefusedAndLeftAsTheyAre) {
    const std::string Preferences = "[Graphics]\nDetail=1\n; mine\n";
    const std::string Arena = "[LastArena]\nTanks=3\n";
    WriteText("default.ini", Preferences);
    WriteText("lastarena.ini", Arena);
    ASSERT_EQ(chmod("default.ini", 0444), 0);
    ASSERT_EQ(chmod("lastarena.ini", 0444), 0);
    const int Messages = MessagesShown;
    SaveSettings();
    EXPECT_EQ(MessagesShown, Messages + 1);
    EXPECT_EQ(LastMessageText, "Unable to write to ./default.ini");
    EXPECT_EQ(LastMessageCaption, "Error");
    SaveLastArena();
    EXPECT_EQ(MessagesShown, Messages + 2);
    EXPECT_EQ(LastMessageText, "Unable to write to ./lastarena.ini");
    EXPECT_EQ(ReadText("default.ini"), Preferences);
    EXPECT_EQ(ReadText("lastarena.ini"), Arena);
    EXPECT_EQ(ModeOf("default.ini"), 0444u);
    EXPECT_EQ(ModeOf("lastarena.ini"), 0444u);
    EXPECT_EQ(EntriesInFolder(), 2u) << "a temporary file was left behind";
}

// A file whose lines cannot be read is not saved over (its other lines would be lost), and it
// keeps its mode; once readable, a save keeps those lines and leaves the file readable.
TEST_F(SettingsFiles, UnreadableFilesAreNotSavedOver) {
    const std::string Old = "[Graphics]\nDetail=1\n[Mine]\nKeep=this line\n";
    WriteText("default.ini", Old);
    for (const mode_t Mode : {mode_t(0000), mode_t(0200)}) {
        SCOPED_TRACE(Mode);
        ASSERT_EQ(chmod("default.ini", Mode), 0);
        const int Messages = MessagesShown;
        SaveSettings();
        EXPECT_EQ(MessagesShown, Messages + 1);
        EXPECT_EQ(LastMessageText, "Unable to write to ./default.ini");
        EXPECT_EQ(ModeOf("default.ini"), Mode);
        ASSERT_EQ(chmod("default.ini", 0600), 0);
        EXPECT_EQ(ReadText("default.ini"), Old);
    }
    const int Messages = MessagesShown;
    DetailLevel = 3;
    SaveSettings();
    EXPECT_EQ(MessagesShown, Messages);
    const std::string New = ReadText("default.ini");
    EXPECT_NE(New.find("Keep=this line"), std::string::npos);
    EXPECT_NE(New.find("Detail=3"), std::string::npos);
    EXPECT_EQ(ModeOf("default.ini"), 0600u);
    EXPECT_EQ(EntriesInFolder(), 1u);
}

// A preference file that is a link (to a file kept elsewhere) stays a link: the save goes into
// the file it points to, relative links counted from the link's folder; a link to a file not
// yet there makes that file. A loop of links is refused like any unwritable file.
TEST_F(SettingsFiles, SavesWriteThroughSymbolicLinks) {
    fs::create_directory("keep");
    WriteText("keep/prefs.ini", "[Mine]\nKeep=1\n");
    fs::create_symlink("prefs.ini", "keep/again.ini"); // a chain of two links
    fs::create_symlink("keep/again.ini", "default.ini");
    fs::create_symlink(Folder / "keep" / "arena.ini", "lastarena.ini"); // absolute, nothing there yet
    DetailLevel = 3;
    ArenaTanks = 17;
    const int Messages = MessagesShown;
    SaveSettings();
    SaveLastArena();
    EXPECT_EQ(MessagesShown, Messages);
    EXPECT_TRUE(fs::is_symlink("default.ini"));
    EXPECT_TRUE(fs::is_symlink("keep/again.ini"));
    EXPECT_TRUE(fs::is_symlink("lastarena.ini"));
    const std::string Prefs = ReadText("keep/prefs.ini");
    EXPECT_NE(Prefs.find("Keep=1"), std::string::npos);
    EXPECT_NE(Prefs.find("Detail=3"), std::string::npos);
    EXPECT_NE(ReadText("keep/arena.ini").find("Tanks=17"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator("keep"), fs::directory_iterator()), 3)
        << "a temporary file was left behind";
    DetailLevel = 1;
    LoadSettings();
    EXPECT_EQ(DetailLevel, 3) << "read back through the link";

    fs::remove("default.ini");
    fs::create_symlink("loop.ini", "default.ini");
    fs::create_symlink("default.ini", "loop.ini");
    SaveSettings();
    EXPECT_EQ(MessagesShown, Messages + 1);
    EXPECT_EQ(LastMessageText, "Unable to write to ./default.ini");
    EXPECT_TRUE(fs::is_symlink("default.ini"));
}

} // namespace

// Start-up order: the preferences are read first, and the window opens at their resolution.
#include <SDL.h>
#include <SDL_opengl.h>

#include "shell/App.h"

namespace {

class StartUpResolution : public SettingsFiles {
  protected:
    // What start-up does: read the preferences, then open the window in the loaded mode.
    // Returns false (and the test is skipped) when no window can be opened here.
    bool OpenAtLoadedResolution() {
        LoadSettings();
        WindowedOption = true; // the headless driver offers no full-screen modes
        ResolutionApplied = 0;
        ChangeDisplayMode(int16_t(ResolutionWanted));
        return WindowHandle != nullptr;
    }
    void TearDown() override {
        DestroyMainWindow(true);
        ResolutionApplied = 0;
        WindowedOption = false;
        SettingsFiles::TearDown();
    }
    // The window, the viewport and the frame buffer all have the expected size.
    static void ExpectWindowOf(int W, int H) {
        int Width = 0, Height = 0;
        SDL_GetWindowSize(WindowHandle, &Width, &Height);
        EXPECT_EQ(Width, W);
        EXPECT_EQ(Height, H);
        EXPECT_EQ(ScreenWidth, W);
        EXPECT_EQ(ScreenHeight, H);
        GLint Viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, Viewport);
        EXPECT_EQ(Viewport[2], W);
        EXPECT_EQ(Viewport[3], H);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        GLubyte Corner[4] = {};
        glReadPixels(W - 1, H - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, Corner);
        EXPECT_EQ(Corner[0], 0);
        EXPECT_EQ(Corner[1], 255) << "the far corner is outside the frame buffer";
    }
};

TEST_F(StartUpResolution, BadResolutionInTheFileOpens1024x768) {
    WriteText("default.ini", "[Graphics]\nResolution=9\n");
    if (!OpenAtLoadedResolution())
        GTEST_SKIP() << "no window can be opened (SDL offscreen driver)";
    EXPECT_EQ(ResolutionApplied, 3);
    ExpectWindowOf(1024, 768);
}

TEST_F(StartUpResolution, ResolutionOneOpens640x480) {
    WriteText("default.ini", "[Graphics]\nResolution=1\n");
    if (!OpenAtLoadedResolution())
        GTEST_SKIP() << "no window can be opened (SDL offscreen driver)";
    EXPECT_EQ(ResolutionApplied, 1);
    ExpectWindowOf(640, 480);
}

TEST_F(StartUpResolution, NoFileOpens800x600) {
    if (!OpenAtLoadedResolution())
        GTEST_SKIP() << "no window can be opened (SDL offscreen driver)";
    EXPECT_EQ(ResolutionApplied, 2);
    ExpectWindowOf(800, 600);
}

} // namespace

// The corner bursts that end a load or a save of the preferences.
#include "menu/PointerStars.h"

namespace {

class SettingsStars : public SettingsFiles {
  protected:
    void SetUp() override {
        SettingsFiles::SetUp();
        for (PointerStar& Star : PointerStars)
            Star = PointerStar{};
    }
    // Live stars born at overlay (X, Y).
    static int StarsAt(float X, float Y) {
        int Count = 0;
        for (const PointerStar& Star : PointerStars)
            Count += Star.Life > 0 && Star.X == X && Star.Y == Y;
        return Count;
    }
    static int LiveStars() { return StarsAt(0, 100) + StarsAt(100, 100); }
};

TEST_F(SettingsStars, LoadAndSaveThrowTwentyStarsFromEachTopCorner) {
    LoadSettings(); // no file: stars are on
    EXPECT_EQ(StarsAt(0, 100), 20);
    EXPECT_EQ(StarsAt(100, 100), 20);
    SaveSettings();
    EXPECT_EQ(StarsAt(0, 100), 40);
    EXPECT_EQ(StarsAt(100, 100), 40);
    LoadLastArena();
    SaveLastArena();
    EXPECT_EQ(LiveStars(), 80); // the arena file throws none
}

TEST_F(SettingsStars, StarsSwitchedOffInTheFileThrowNone) {
    WriteText("default.ini", "[Other]\nLittleStars=0\n");
    ShowPointerStars = true;
    LoadSettings(); // the stars follow the value just read
    EXPECT_EQ(LiveStars(), 0);
}

} // namespace

// The same start-up through the real game binary on a private X server.
#include "support/Xvfb.h"

namespace {

struct StartCase {
    const char* File; // contents of "./default.ini"; null for no file
    int         Width;
    int         Height;
};

TEST(StartUpResolutionEndToEnd, GameWindowOpensAtTheResolutionOfTheFile) {
    clsXvfb X;
    REQUIRE_XVFB(X);
    const StartCase Cases[] = {
        {"[Graphics]\nResolution=9\n", 1024, 768}, // out of range: the fallback 1024x768
        {"[graphics]\r\nresolution = 1\r\n", 640, 480},
        {nullptr, 800, 600},
    };
    for (const StartCase& C : Cases) {
        const std::string Folder = clsXvfb::MakeGameFolder();
        ASSERT_FALSE(Folder.empty());
        if (C.File)
            WriteText(fs::path(Folder) / "default.ini", C.File);
        ASSERT_TRUE(X.StartApp({"--windowed"}, Folder));
        EXPECT_TRUE(X.WaitForWindow(30.0)) << X.AppLog();
        EXPECT_EQ(X.WindowWidth, C.Width) << (C.File ? C.File : "no file");
        EXPECT_EQ(X.WindowHeight, C.Height) << (C.File ? C.File : "no file");
        X.StopApp();
        EXPECT_EQ(fs::exists(fs::path(Folder) / "default.ini"), C.File != nullptr)
            << "start-up must not write the preferences";
        fs::remove_all(Folder);
    }
}

} // namespace
