// The menu of the real game under Xvfb, driven with the mouse as a new player would: saving and
// loading the preferences, and starting a custom arena that is remembered.
#include "support/Xvfb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

std::string Lower(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char C) { return std::tolower(C); });
    return Text;
}

// An INI file as "section.key" (lower case) to value; empty when the file is missing.
std::map<std::string, std::string> ReadIni(const std::string& Path) {
    std::map<std::string, std::string> Values;
    std::ifstream                      File(Path);
    std::string                        Line, Section;
    while (std::getline(File, Line)) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Line.size() > 1 && Line.front() == '[' && Line.back() == ']') {
            Section = Lower(Line.substr(1, Line.size() - 2));
        } else if (const size_t Eq = Line.find('='); Eq != std::string::npos) {
            Values[Section + "." + Lower(Line.substr(0, Eq))] = Line.substr(Eq + 1);
        }
    }
    return Values;
}

bool Exists(const std::string& Path) {
    struct stat Info;
    return stat(Path.c_str(), &Info) == 0;
}

// Pixels in which two masks of the same area disagree.
size_t Differences(const std::vector<bool>& A, const std::vector<bool>& B) {
    if (A.size() != B.size()) return std::max(A.size(), B.size());
    size_t Count = 0;
    for (size_t I = 0; I < A.size(); ++I) Count += A[I] != B[I];
    return Count;
}

class MenuE2E : public ::testing::Test {
  protected:
    void SetUp() override { Folder = clsXvfb::MakeGameFolder(); }
    void TearDown() override {
        if (!Folder.empty()) std::system(("rm -rf '" + Folder + "'").c_str());
    }

    // A left click held long enough for a frame to see it, then time for a page fade (0.4 s).
    // Where the window sits on the screen, pixels.
    void WindowOrigin(clsXvfb& X, int& Left, int& Top) {
        std::string Geometry;
        X.Run("xdotool getwindowgeometry --shell " + X.WindowId, &Geometry);
        Left = Top = 0;
        if (const size_t At = Geometry.find("X="); At != std::string::npos) Left = std::atoi(Geometry.c_str() + At + 2);
        if (const size_t At = Geometry.find("Y="); At != std::string::npos) Top = std::atoi(Geometry.c_str() + At + 2);
    }

    // The graphics page's resolution text as a mask of its light pixels (the drifting blue stars
    // behind it do not count).
    std::vector<bool> ResolutionLabel(clsXvfb& X) {
        clsScreenshot Shot;
        EXPECT_TRUE(X.ScreenshotPpm(Shot));
        std::vector<bool> Mask;
        if (Shot.Width == 0) return Mask;
        int Left = 0, Top = 0;
        WindowOrigin(X, Left, Top);
        for (int Y = X.WindowHeight * 41 / 100; Y < X.WindowHeight * 45 / 100; ++Y)
            for (int Xp = X.WindowWidth * 22 / 100; Xp < X.WindowWidth * 60 / 100; ++Xp) {
                const uint8_t* P = Shot.At(std::min(Left + Xp, Shot.Width - 1), std::min(Top + Y, Shot.Height - 1));
                Mask.push_back(P[0] > 120 && P[1] > 100);
            }
        return Mask;
    }

    std::string Folder;
};

} // namespace

TEST_F(MenuE2E, SaveWritesEveryDefaultAndLoadRestoresAChangedResolution) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(1.0);
    const std::string Ini = Folder + "/default.ini";
    ASSERT_FALSE(Exists(Ini));

    EXPECT_TRUE(X.Press(45, 42, 0.6)); // "Settings"
    EXPECT_TRUE(X.Press(37, 52, 0.6)); // "Save"
    auto Values = ReadIni(Ini);
    const std::map<std::string, std::string> Defaults = {
        {"graphics.detail", "2"},   {"graphics.resolution", "2"}, {"graphics.anisotropic", "0"},
        {"sound.volume", "100"},    {"sound.enabled", "1"},       {"other.log", "1"},
        {"other.compass", "1"},     {"other.crosshair", "1"},     {"other.radar", "1"},
        {"other.help", "1"},        {"other.particles", "1"},     {"other.littlestars", "1"},
        {"player.name", "PLAYER"},  {"player.colorr", "1"},       {"player.colorg", "1"},
        {"player.colorb", "1"}};
    for (const auto& [Key, Value] : Defaults) EXPECT_EQ(Values[Key], Value) << Key << "\n" << X.AppLog();

    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Graphics"
    const std::vector<bool> AtSave = ResolutionLabel(X);
    ASSERT_GT(std::count(AtSave.begin(), AtSave.end(), true), 20) << "no label text seen";
    EXPECT_TRUE(X.Press(87, 42, 0.6)); // resolution " + ": 1024x768, not applied until a game starts
    const std::vector<bool> Raised = ResolutionLabel(X);
    const size_t Lit = std::count(AtSave.begin(), AtSave.end(), true);
    EXPECT_GT(Differences(Raised, AtSave), Lit / 5);
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back"
    EXPECT_TRUE(X.Press(52, 52, 0.6)); // "Load"
    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Graphics"
    // A star drifting across the text dims a few of its pixels: the texts must match but for those.
    EXPECT_LT(Differences(ResolutionLabel(X), AtSave), Lit / 20);
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back"
    EXPECT_TRUE(X.Press(37, 52, 0.6)); // "Save" once more: what is in memory is the loaded value
    EXPECT_EQ(ReadIni(Ini)["graphics.resolution"], "2");

    ASSERT_TRUE(X.AppRunning()) << X.AppLog();
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back" to the main page
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}

TEST_F(MenuE2E, StartingACustomArenaRemembersItsCounts) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(1.0);
    const std::string Arena = Folder + "/lastarena.ini";
    ASSERT_FALSE(Exists(Arena));

    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Single Player"
    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Custom Arena"
    for (int I = 0; I < 3; ++I) X.Press(32, 17, 0.6); // tanks 10 -> 13
    for (int I = 0; I < 2; ++I) X.Press(32, 32, 0.6); // turrets 10 -> 8
    EXPECT_TRUE(X.Press(32, 42, 0.6));                             // bonus 10 -> 9
    EXPECT_TRUE(X.Press(32, 47, 0.6));                             // energy 100 -> 110
    EXPECT_TRUE(X.Press(32, 57, 0.6));                             // shots 2 -> 3
    EXPECT_TRUE(X.Press(45, 67, 0.6));                             // respawn on
    ASSERT_FALSE(Exists(Arena));
    EXPECT_TRUE(X.Press(45, 72, 0.6)); // "Start"
    Pause(2.0);       // the new battle is set up
    auto Values = ReadIni(Arena);
    EXPECT_EQ(Values["lastarena.tanks"], "13") << X.AppLog();
    EXPECT_EQ(Values["lastarena.turrets"], "8");
    EXPECT_EQ(Values["lastarena.bonus"], "9");
    EXPECT_EQ(Values["lastarena.energy"], "110");
    EXPECT_EQ(Values["lastarena.maxshots"], "3");
    EXPECT_EQ(Values["lastarena.respawn"], "1");

    ASSERT_TRUE(X.AppRunning()) << X.AppLog();
    ASSERT_TRUE(X.SendKey("Escape")); // to the menu, the game still in progress
    Pause(0.5);
    EXPECT_TRUE(X.Press(45, 22, 0.6));                 // "Resume Game", shown now that a game is in progress
    Pause(1.0);
    ASSERT_TRUE(X.SendKey("Escape")); // back in the game: this Escape only returns to the menu
    Pause(0.5);
    EXPECT_TRUE(X.AppRunning()) << X.AppLog();
    ASSERT_TRUE(X.SendKey("Escape")); // and out from the main page
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}

TEST_F(MenuE2E, TheNameIsTypedInUpperCaseAndSaved) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(1.0);
    EXPECT_TRUE(X.Press(45, 42, 0.6)); // "Settings"
    EXPECT_TRUE(X.Press(45, 47, 0.6)); // "Player"
    EXPECT_TRUE(X.Press(35, 42, 0.6)); // the name field
    for (const char* Key : {"BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
                            "a", "c", "e", "space", "7", "minus", "Return", "z"})
        ASSERT_TRUE(X.SendKey(Key));
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back"
    EXPECT_TRUE(X.Press(37, 52, 0.6)); // "Save"
    EXPECT_EQ(ReadIni(Folder + "/default.ini")["player.name"], "ACE 7") << X.AppLog();
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back" to the main page
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}
