// The menu of the real game under Xvfb, driven with the mouse and keys as a new player would:
// saving and loading the preferences and typing the name. (The battle test sets up a custom
// arena and sees it remembered.)
#include "support/Xvfb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::string Lower(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char C) { return std::tolower(C); });
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
    for (size_t I = 0; I < A.size(); ++I)
        Count += A[I] != B[I];
    return Count;
}

class MenuE2E : public GameFolderTest {
  protected:
    // The graphics page's resolution text as a mask of its light pixels (the drifting blue stars
    // behind it do not count). The window stands at the screen's top-left corner.
    static std::vector<bool> ResolutionLabel(clsXvfb& X) {
        clsScreenshot Shot;
        EXPECT_TRUE(X.ScreenshotPpm(Shot));
        std::vector<bool> Mask;
        for (int Y = X.WindowHeight * 41 / 100; Y < X.WindowHeight * 45 / 100 && Y < Shot.Height;
             ++Y)
            for (int Px = X.WindowWidth * 22 / 100;
                 Px < X.WindowWidth * 60 / 100 && Px < Shot.Width; ++Px) {
                const uint8_t* P = Shot.At(Px, Y);
                Mask.push_back(P[0] > 120 && P[1] > 100);
            }
        return Mask;
    }
};

} // namespace

// The settings page: Save writes every default; a resolution raised on the graphics page shows
// at once, and Load brings back the saved one. The player page: the name is typed in upper
// case, digits and spaces, Backspace drops a character, and Return, the keypad's Enter and
// Escape back to the main page each end name entry, so letters typed afterwards never reach
// the saved name.
TEST_F(MenuE2E, SaveLoadAndTheName) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    const std::string Ini = Folder + "/default.ini";
    ASSERT_FALSE(Exists(Ini));

    EXPECT_TRUE(X.Click({Spot::Settings, Spot::Save}));
    auto                                     Values = ReadIni(Ini);
    const std::map<std::string, std::string> Defaults = {
        {"graphics.detail", "2"},  {"graphics.resolution", "2"}, {"graphics.anisotropic", "0"},
        {"sound.volume", "100"},   {"sound.enabled", "1"},       {"other.log", "1"},
        {"other.compass", "1"},    {"other.crosshair", "1"},     {"other.radar", "1"},
        {"other.help", "1"},       {"other.particles", "1"},     {"other.littlestars", "1"},
        {"player.name", "PLAYER"}, {"player.colorr", "1"},       {"player.colorg", "1"},
        {"player.colorb", "1"}};
    for (const auto& [Key, Value] : Defaults)
        EXPECT_EQ(Values[Key], Value) << Key << "\n" << X.AppLog();

    EXPECT_TRUE(X.Click({Spot::Graphics}));
    const std::vector<bool> AtSave = ResolutionLabel(X);
    const size_t            Lit = std::count(AtSave.begin(), AtSave.end(), true);
    ASSERT_GT(Lit, 20u) << "no label text seen";
    EXPECT_TRUE(X.Click({Spot::ResolutionUp})); // 1024x768, not applied until a game starts
    EXPECT_GT(Differences(ResolutionLabel(X), AtSave), Lit / 5);
    EXPECT_TRUE(X.Click({Spot::Back, Spot::Load, Spot::Graphics}));
    // A star drifting across the text dims a few of its pixels: the texts must match but for those.
    EXPECT_LT(Differences(ResolutionLabel(X), AtSave), Lit / 20);
    EXPECT_TRUE(X.Click({Spot::Back, Spot::Save})); // what is in memory is the loaded value
    EXPECT_EQ(ReadIni(Ini)["graphics.resolution"], "2");

    const auto SavedName = [&] { return ReadIni(Ini)["player.name"]; };
    EXPECT_TRUE(X.Click({Spot::Player, Spot::NameField}));
    for (const char* Key : {"BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
                            "BackSpace", "a", "c", "e", "space", "7", "minus", "Return", "z"})
        ASSERT_TRUE(X.SendKey(Key));
    EXPECT_TRUE(X.Click({Spot::NameField}));
    for (const char* Key : {"b", "KP_Enter", "d"})
        ASSERT_TRUE(X.SendKey(Key));
    EXPECT_TRUE(X.Click({Spot::Back, Spot::Save}));
    EXPECT_EQ(SavedName(), "ACE 7B") << X.AppLog();
    EXPECT_TRUE(X.Click({Spot::Player, Spot::NameField}));
    ASSERT_TRUE(X.SendKey("Escape"));
    ASSERT_TRUE(X.SendKey("c"));
    EXPECT_TRUE(X.Click({Spot::Settings, Spot::Save}));
    EXPECT_EQ(SavedName(), "ACE 7B") << X.AppLog();

    EXPECT_TRUE(X.Click({Spot::Back}));
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}
