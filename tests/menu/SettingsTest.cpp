// The two settings files: defaults, fallbacks, the written form, the round trip and failed saves.
#include <SDL.h>
#include <SDL_opengl.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "SettingsFixture.h"
#include "menu/Menu.h"
#include "menu/PointerStars.h"
#include "platform/Platform.h"
#include "shell/App.h"
#include "shell/Gamepad.h"
#include "shell/Window.h"

namespace fs = std::filesystem;

namespace {

// A file of one value and what a load leaves in the setting it names.
struct ReadCase {
    const char* Text;
    Setting     Target;
    double      Read;
};

// Loads each case's file with its setting first at a value it must not keep.
template <size_t N> void ExpectReads(const char* Path, void (*Load)(), const ReadCase (&Cases)[N]) {
    for (const ReadCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        Set(C.Target, C.Read == 0 ? 1 : 0);
        WriteText(Path, C.Text);
        Load();
        EXPECT_EQ(Held(C.Target), C.Read);
    }
}

// Counts the messages shown from its making on.
struct MessageWatch {
    int Shown = MessagesShown;
    // The save just made was refused: one more message, the error naming the file.
    void ExpectRefused(const std::string& Path) {
        EXPECT_EQ(MessagesShown, ++Shown);
        EXPECT_EQ(LastMessageText, "Unable to write to " + Path);
        EXPECT_EQ(LastMessageCaption, "Error");
    }
    void ExpectNone() const { EXPECT_EQ(MessagesShown, Shown); }
};

TEST_F(SettingsFiles, NoPreferencesFileGivesEveryDefault) {
    const MessageWatch Watch;
    LoadSettings();
    ExpectDefaultPreferences();
    Watch.ExpectNone(); // reading never reports
    EXPECT_FALSE(fs::exists("default.ini"));
}

// Each value in range is taken; out of range it takes its fallback, and text that is not a
// number of its kind reads as the default.
TEST_F(SettingsFiles, PreferencesTakeTheirFallbacksAndDefaults) {
    const ReadCase Cases[] = {
        {"[Graphics]\nDetail=0\n", &DetailLevel, 2},
        {"[Graphics]\nDetail=1\n", &DetailLevel, 1},
        {"[Graphics]\nDetail=3\n", &DetailLevel, 3},
        {"[Graphics]\nDetail=4\n", &DetailLevel, 2},
        {"[Graphics]\nDetail=abc\n", &DetailLevel, 2},
        {"[Graphics]\nDetail=99999999999\n", &DetailLevel, 2}, // does not fit 32 bits
        {"[Graphics]\nResolution=9\n", &ResolutionWanted, 3},  // 1024x768, not the default 800x600
        {"[Graphics]\nResolution=0\n", &ResolutionWanted, 3},
        {"[Graphics]\nResolution=1\n", &ResolutionWanted, 1},
        {"[Graphics]\nResolution=5\n", &ResolutionWanted, 5},
        {"[Graphics]\nResolution=3.0\n", &ResolutionWanted, 2}, // not an integer: the default
        {"[Graphics]\nAnisotropic=4\n", &Anisotropy, 4},
        {"[Graphics]\nAnisotropic=99\n", &Anisotropy, 99}, // whatever the driver's maximum
        {"[Graphics]\nAnisotropic=2.5\n", &Anisotropy, 0}, // a fraction reads as 0
        {"[Graphics]\nAnimatedModels=0\n", &AnimatedModels, 0},
        {"[Sound]\nVolume=0\n", &SoundVolume, 0},
        {"[Sound]\nVolume=101\n", &SoundVolume, 100},
        {"[Sound]\nVolume=-1\n", &SoundVolume, 100},
        {"[Sound]\nVolume=5x\n", &SoundVolume, 100},
        {"[Sound]\nVolume=65537\n", &SoundVolume, 1}, // kept in 16 bits before its range test
        {"[Sound]\nVolume=65586\n", &SoundVolume, 50},
        {"[Sound]\nVolume=65636\n", &SoundVolume, 100},
        {"[Sound]\nVolume=65535\n", &SoundVolume, 100}, // -1 in 16 bits: out of range
        {"[Sound]\nEnabled=0\n", &SoundEnabled, 0},
        {"[Sound]\nEnabled=2\n", &SoundEnabled, 1},   // any integer but 0 is on
        {"[Sound]\nEnabled=yes\n", &SoundEnabled, 1}, // not an integer: the default, on
        {"[Other]\nLog=0\n", &ShowLog, 0},
        {"[Other]\nLog=\n", &ShowLog, 1},
        {"[Other]\nCompass=-3\n", &ShowCompass, 1},
        {"[Other]\nCrosshair=0\n", &ShowCrosshairs, 0},
        {"[Other]\nRadar=0\n", &ShowRadar, 0},
        {"[Other]\nRadar=0x1\n", &ShowRadar, 1},
        {"[Other]\nHelp=+0\n", &ShowHelp, 0},
        {"[Other]\nParticles=00\n", &ShowParticles, 0},
        {"[Other]\nLittleStars=0\n", &ShowPointerStars, 0},
        {"[Player]\nColorR=-0.1\n", &Actors[0].ColorR, 1},
        {"[Player]\nColorR=0\n", &Actors[0].ColorR, 0},
        {"[Player]\nColorR=+.5\n", &Actors[0].ColorR, 0.5},
        {"[Player]\nColorR=half\n", &Actors[0].ColorR, 1},
        {"[Player]\nColorG=1.5\n", &Actors[0].ColorG, 1},
        {"[Player]\nColorG=0,5\n", &Actors[0].ColorG, 1}, // "," is no decimal separator here
        {"[Player]\nColorG=5E-1\n", &Actors[0].ColorG, 0.5},
        {"[Player]\nColorB=0.25\n", &Actors[0].ColorB, 0.25},
        {"[Player]\nColorB=1.5\n", &Actors[0].ColorB, 1},
        {"[Player]\nColorB=nan\n", &Actors[0].ColorB, 1},
    };
    ExpectReads("default.ini", LoadSettings, Cases);
}

// Section and key names in any case, spaces around them and Windows line ends; the first of
// two equal keys counts. A name is cut to 20 characters and has no other test.
TEST_F(SettingsFiles, HandWrittenFileWithMixedCaseAndCrlf) {
    LoadPreferences("[graphics]\r\n  DETAIL = 3 \r\nresolution=1\r\n[PLAYER]\r\nname =  ACE \r\n"
                    "Name=SECOND\r\n");
    EXPECT_EQ(DetailLevel, 3);
    EXPECT_EQ(ResolutionWanted, 1);
    EXPECT_EQ(Actors[0].Name, "ACE");
    LoadPreferences("[Player]\nName=ABCDEFGHIJKLMNOPQRSTUVWXY\n");
    EXPECT_EQ(Actors[0].Name, "ABCDEFGHIJKLMNOPQRST");
    LoadPreferences("[Player]\nName=lower case & more\n");
    EXPECT_EQ(Actors[0].Name, "lower case & more");
}

TEST_F(SettingsFiles, SaveWritesEveryKeyInTableOrder) {
    LoadSettings();
    Actors[0].ColorG = 0.1 * 3;
    SaveSettings();
    EXPECT_EQ(ReadText("default.ini"),
              "[Graphics]\nDetail=2\nResolution=2\nAnisotropic=0\n"
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

// Every value saved is read back, each first changed in memory so that a value the load did
// not set is seen; a colour component comes back from its 15-digit text.
TEST_F(SettingsFiles, SaveThenLoadGivesBackEveryValue) {
    double Remainder = 1.0;
    for (int Step = 0; Step < 10; ++Step)
        Remainder -= 0.1; // ten menu steps down leave a tiny remainder, not 0
    const std::pair<Setting, double> Values[] = {{&DetailLevel, 3},
                                                 {&ResolutionWanted, 5},
                                                 {&Anisotropy, 16},
                                                 {&AnimatedModels, 0},
                                                 {&SoundVolume, 42},
                                                 {&SoundEnabled, 0},
                                                 {&ShowLog, 0},
                                                 {&ShowHelp, 0},
                                                 {&ShowPointerStars, 0},
                                                 {&ShowCompass, 1},
                                                 {&ShowCrosshairs, 1},
                                                 {&ShowRadar, 1},
                                                 {&ShowParticles, 1},
                                                 {&Actors[0].ColorR, Remainder},
                                                 {&Actors[0].ColorG, 0.7},
                                                 {&Actors[0].ColorB, 0.1 + 0.2}};
    for (const auto& [Target, Value] : Values)
        Set(Target, Value);
    Actors[0].Name = "ROUND TRIP";
    SaveSettings();
    for (const auto& [Target, Value] : Values)
        Set(Target, Value == 0 ? 1 : 0);
    Actors[0].Name.clear();
    LoadSettings();
    for (const auto& [Target, Value] : Values)
        EXPECT_NEAR(Held(Target), Value, Value * 1e-14) << Value;
    EXPECT_EQ(Actors[0].Name, "ROUND TRIP");
}

TEST_F(SettingsFiles, SaveKeepsCommentsAndForeignKeys) {
    WriteText("default.ini", "; my settings\r\n[Graphics]\r\nDetail=1\r\nGamma=2.2\r\n"
                             "[Mods]\r\nFast=1\r\n");
    LoadSettings();
    DetailLevel = 3;
    SaveSettings();
    const std::string Text = ReadText("default.ini");
    EXPECT_EQ(Text.rfind("; my settings\r\n[Graphics]\r\nDetail=3\r\nGamma=2.2\r\n", 0), 0u)
        << Text;
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
    const ReadCase Cases[] = {
        {"[LastArena]\nTanks=-1\n", &ArenaTanks, 10},
        {"[LastArena]\nTanks=50\n", &ArenaTanks, 50},
        {"[LastArena]\nTurrets=51\n", &ArenaTurrets, 10},
        {"[LastArena]\nTurrets=0\n", &ArenaTurrets, 0},
        {"[LastArena]\nBonus=abc\n", &ArenaBonus, 10},
        {"[lastarena]\nBonus=50\n", &ArenaBonus, 50},
        {"[LastArena]\nMaxShots=0\n", &ArenaMaxShots, 2},
        {"[LastArena]\nMaxShots=1\n", &ArenaMaxShots, 1},
        {"[LastArena]\nMaxShots=20\n", &ArenaMaxShots, 20},
        {"[LastArena]\nMaxShots=21\n", &ArenaMaxShots, 2},
        {"[LastArena]\nEnergy=5\n", &ArenaStartEnergy, 100},
        {"[LastArena]\nEnergy=10\n", &ArenaStartEnergy, 10},
        {"[LastArena]\nEnergy=1000\n", &ArenaStartEnergy, 1000},
        {"[LastArena]\nEnergy=1001\n", &ArenaStartEnergy, 100},
        {"[LastArena]\nRespawn=1\n", &ArenaRespawn, 1},
        {"[LastArena]\nRespawn=0\n", &ArenaRespawn, 0},
    };
    ExpectReads("lastarena.ini", LoadLastArena, Cases);
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
    MessageWatch Watch;

    struct rlimit Saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Saved), 0);
    const auto    PreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = Saved;
    Small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Small), 0);
    SaveSettings();
    setrlimit(RLIMIT_FSIZE, &Saved);
    std::signal(SIGXFSZ, PreviousHandler);

    Watch.ExpectRefused("./default.ini");
    EXPECT_EQ(ReadText("default.ini"), Old);
    EXPECT_EQ(EntriesInFolder(), 1u) << "the temporary file was left behind";

    SaveSettings(); // room again: the next save goes through
    EXPECT_NE(ReadText("default.ini").find("Detail=3"), std::string::npos);
    Watch.ExpectNone();
}

TEST_F(SettingsFiles, SaveIntoAnUnwritablePlaceIsReported) {
    fs::create_directory("lastarena.ini"); // the name is taken by a folder
    MessageWatch Watch;
    SaveLastArena();
    Watch.ExpectRefused("./lastarena.ini");
    EXPECT_TRUE(fs::is_directory("lastarena.ini"));
    EXPECT_EQ(EntriesInFolder(), 1u);

    fs::remove_all(Folder); // the working folder itself has gone
    SaveSettings();
    Watch.ExpectRefused("./default.ini");
    fs::create_directory(Folder); // back again for the fixture to remove
}

mode_t ModeOf(const fs::path& Path) {
    struct stat St {};
    return stat(Path.c_str(), &St) == 0 ? St.st_mode & 07777 : mode_t(-1);
}

// A file made read-only, or one whose lines cannot be read (they would be lost), is not saved
// over: the save is refused with the message and the file stays exactly as it was, mode and
// text, with no temporary file beside it. (Run as root too, where the system would let it
// through.) Once writable and readable, a save keeps the file's other lines and its mode.
TEST_F(SettingsFiles, ReadOnlyAndUnreadableFilesAreNotSavedOver) {
    const std::string Old = "[Graphics]\nDetail=1\n[Mine]\nKeep=this line\n";
    const std::string Arena = "[LastArena]\nTanks=3\n";
    WriteText("default.ini", Old);
    WriteText("lastarena.ini", Arena);
    ASSERT_EQ(chmod("lastarena.ini", 0444), 0);
    MessageWatch Watch;
    SaveLastArena();
    Watch.ExpectRefused("./lastarena.ini");
    EXPECT_EQ(ReadText("lastarena.ini"), Arena);
    EXPECT_EQ(ModeOf("lastarena.ini"), 0444u);
    for (const mode_t Mode : {mode_t(0444), mode_t(0000), mode_t(0200)}) {
        SCOPED_TRACE(Mode);
        ASSERT_EQ(chmod("default.ini", Mode), 0);
        SaveSettings();
        Watch.ExpectRefused("./default.ini");
        EXPECT_EQ(ModeOf("default.ini"), Mode);
        ASSERT_EQ(chmod("default.ini", 0600), 0);
        EXPECT_EQ(ReadText("default.ini"), Old);
        EXPECT_EQ(EntriesInFolder(), 2u) << "a temporary file was left behind";
    }
    DetailLevel = 3;
    SaveSettings();
    Watch.ExpectNone();
    const std::string New = ReadText("default.ini");
    EXPECT_NE(New.find("Keep=this line"), std::string::npos);
    EXPECT_NE(New.find("Detail=3"), std::string::npos);
    EXPECT_EQ(ModeOf("default.ini"), 0600u);
}

// A preference file that is a link (to a file kept elsewhere) stays a link: the save goes into
// the file it points to, relative links counted from the link's folder; a link to a file not
// yet there makes that file. A loop of links is refused like any unwritable file.
TEST_F(SettingsFiles, SavesWriteThroughSymbolicLinks) {
    fs::create_directory("keep");
    WriteText("keep/prefs.ini", "[Mine]\nKeep=1\n");
    fs::create_symlink("prefs.ini", "keep/again.ini"); // a chain of two links
    fs::create_symlink("keep/again.ini", "default.ini");
    fs::create_symlink(Folder / "keep" / "arena.ini",
                       "lastarena.ini"); // absolute, nothing there yet
    DetailLevel = 3;
    ArenaTanks = 17;
    MessageWatch Watch;
    SaveSettings();
    SaveLastArena();
    Watch.ExpectNone();
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
    Watch.ExpectRefused("./default.ini");
    EXPECT_TRUE(fs::is_symlink("default.ini"));
}

// Start-up, the game's own: the preferences are read before the window opens.
class StartUpResolution : public SettingsFiles {
  protected:
    void TearDown() override {
        StopGamepads();
        DestroyMainWindow(true);
        ResolutionApplied = 0;
        WindowedOption = false;
        FirstStart = true;
        GameState = 0;
    }
};

// A "Resolution" of 9 in the file opens 1024 x 768, its fallback 3: the window, the viewport
// and the frame buffer all have that size, with the menu ready in it.
TEST_F(StartUpResolution, TheWindowOpensAtTheResolutionOfTheFile) {
    Temp.LinkGameData(TARVIX_DATA_DIR);
    WriteText("default.ini", "[Graphics]\nResolution=9\n");
    WindowedOption = true; // the headless driver offers no full-screen modes
    FirstStart = true;
    NextMenuItem = 1; // the menu tree is built by the first start this test runs
    GameState = 0;
    if (!StartUp()) GTEST_SKIP() << "no window can be opened here: " << LastMessageText;
    EXPECT_EQ(GameState, 1);
    EXPECT_EQ(ResolutionApplied, 3);
    int Width = 0, Height = 0;
    SDL_GetWindowSize(WindowHandle, &Width, &Height);
    EXPECT_EQ(Width, 1024);
    EXPECT_EQ(Height, 768);
    EXPECT_EQ(ScreenWidth, 1024);
    EXPECT_EQ(ScreenHeight, 768);
    GLint Viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, Viewport);
    EXPECT_EQ(Viewport[2], 1024);
    EXPECT_EQ(Viewport[3], 768);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    GLubyte Corner[4] = {};
    glReadPixels(1023, 767, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, Corner);
    EXPECT_EQ(Corner[0], 0);
    EXPECT_EQ(Corner[1], 255) << "the far corner is outside the frame buffer";
}

// The corner bursts that end a load or a save of the preferences.
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
