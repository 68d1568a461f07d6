// Key bindings: the "Keys" section read and saved through the settings, bound keys setting the
// action's slot in a game, bad names falling back with one report, and the help text.
#include "core/KeyBindings.h"
#include "core/EventLog.h"
#include "menu/Settings.h"
#include "shell/App.h"
#include "shell/Events.h"
#include "shell/Input.h"
#include "support/TempFolder.h"

#include "ShellHelpers.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

int LogLinesContaining(const std::string& Text) {
    int Count = 0;
    for (const LogString& Line : EventLog)
        Count += Line.Text.find(Text) != std::string::npos;
    return Count;
}

class KeyBindingsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.Ready());
        for (LogString& Line : EventLog)
            Line = LogString{"", 1, 1, 1};
        for (bool& K : Keys)
            K = false;
        GameState = 1;
    }
    void TearDown() override {
        std::remove("default.ini");
        LoadSettings(); // back to the usual keys for the other tests
        GameState = 0;
    }
    static void Load(const std::string& Text) {
        std::ofstream("default.ini") << Text;
        LoadSettings();
    }
    clsTempFolder Temp;
};

} // namespace

TEST_F(KeyBindingsFiles, WithoutTheSectionTheUsualKeysAreBound) {
    Load("[Graphics]\nDetail=3\n");
    EXPECT_EQ(BoundKey(ActionForward), SDLK_UP);
    EXPECT_EQ(BoundKey(ActionFire), SDLK_a);
    EXPECT_EQ(BoundKey(ActionFire2), SDLK_SPACE);
    EXPECT_EQ(BoundKey(ActionToggleParticles), SDLK_p);
    EXPECT_TRUE(FullscreenWanted);
    EXPECT_EQ(LogLinesContaining("kept"), 0);
}

TEST_F(KeyBindingsFiles, BoundKeysDriveTheActionsSlotsInAGame) {
    Load("[Keys]\nForward=w\nTurnLeft=Left Ctrl\nToggleHelp=F5\n");
    GameState = 2;
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_w));
    EXPECT_TRUE(Keys[KeyUp]);
    EXPECT_FALSE(Keys['W']);
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_LCTRL));
    EXPECT_TRUE(Keys[KeyLeft]) << "a key the Windows table has no code for can be bound";
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_F5));
    EXPECT_TRUE(Keys['H']);
    HandleEvent(KeyEvent(SDL_KEYUP, SDLK_w));
    EXPECT_FALSE(Keys[KeyUp]);

    // The keys the actions left no longer act; keys bound to nothing keep their own codes.
    Keys['H'] = false;
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_UP));
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_h));
    EXPECT_FALSE(Keys[KeyUp]);
    EXPECT_FALSE(Keys['H']);
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_DOWN));
    EXPECT_TRUE(Keys[KeyDown]);
}

TEST_F(KeyBindingsFiles, TheMenuNameEntryGetsTheLettersThemselves) {
    Load("[Keys]\nForward=W\n");
    GameState = 1;
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_w));
    EXPECT_TRUE(Keys['W']);
    EXPECT_FALSE(Keys[KeyUp]);
    // Held through the resume and let go in the game: nothing is left driving.
    GameState = 2;
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_w));
    HandleEvent(KeyEvent(SDL_KEYUP, SDLK_w));
    EXPECT_FALSE(Keys['W']);
    EXPECT_FALSE(Keys[KeyUp]);
}

TEST_F(KeyBindingsFiles, UnknownAndTakenNamesKeepTheUsualKeyAndAreReportedOnce) {
    GameState = 0; // at start the log comes later
    Load("[Keys]\nForward=Warp Drive\nFire=Up\nToggleTrees=\n");
    EXPECT_EQ(LogLinesContaining("kept"), 0) << "nothing logged before the log exists";
    ReportKeyBindingProblems();
    ReportKeyBindingProblems();
    EXPECT_EQ(BoundKey(ActionForward), SDLK_UP);
    EXPECT_EQ(BoundKey(ActionFire), SDLK_a) << "Up is Forward's already";
    EXPECT_EQ(BoundKey(ActionToggleTrees), SDLK_t) << "an empty name is the usual key";
    EXPECT_EQ(LogLinesContaining("Forward: key \"Warp Drive\" unusable, Up kept"), 1);
    EXPECT_EQ(LogLinesContaining("Fire: key \"Up\" unusable, A kept"), 1);
    EXPECT_EQ(LogLinesContaining("kept"), 2);

    GameState = 1; // the Load button reports at once
    Load("[Keys]\nCamera=Nonsense\n");
    EXPECT_EQ(LogLinesContaining("Camera: key"), 1);
}

TEST_F(KeyBindingsFiles, SavedBindingsAndFullScreenReadBackUnchanged) {
    Load("[Keys]\nFire=Left Ctrl\nToggleRadar=tab\n[Graphics]\nFullscreen=0\n");
    SaveSettings();
    std::ifstream     File("default.ini");
    const std::string Text{std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
    EXPECT_NE(Text.find("Fire=Left Ctrl"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Forward=Up"), std::string::npos) << "every key written" << Text;
    EXPECT_NE(Text.find("Fullscreen=0"), std::string::npos) << Text;
    FullscreenWanted = true;
    KeyBindingNames[ActionFire] = "A";
    LoadSettings();
    EXPECT_FALSE(FullscreenWanted);
    EXPECT_EQ(BoundKey(ActionFire), SDLK_LCTRL);
    EXPECT_EQ(BoundKey(ActionToggleRadar), SDLK_TAB);
}

TEST_F(KeyBindingsFiles, HelpLinesNameTheBoundKeys) {
    const std::string Move = "Use the arrow keys to move and 'a' to shoot.Toggles:";
    const std::string Toggles = "'o' - cOmpass,'r' - Radar,'h' - Help,'s' - croSshairs";
    Load("");
    EXPECT_EQ(BoundHelpText(Move), Move);
    EXPECT_EQ(BoundHelpText(Toggles), Toggles);
    // Two keys swapped: each is replaced once, in the original line.
    Load("[Keys]\nForward=W\nBackward=S\nTurnLeft=Q\nTurnRight=E\nFire=Space\nFire2=A\n"
         "ToggleRadar=H\nToggleHelp=R\nToggleCrosshairs=X\n");
    EXPECT_EQ(BoundHelpText(Move), "Use 'w','s','q','e' to move and 'space' to shoot.Toggles:");
    EXPECT_EQ(BoundHelpText(Toggles), "'o' - cOmpass,'h' - Radar,'r' - Help,'x' - croSshairs");
}

TEST(FullScreenKey, AltEnterIsNotAReturnPress) {
    Keys[KeyReturn] = false;
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT));
    EXPECT_FALSE(Keys[KeyReturn]);
    HandleEvent(KeyEvent(SDL_KEYDOWN, SDLK_RETURN));
    EXPECT_TRUE(Keys[KeyReturn]);
    Keys[KeyReturn] = false;
}
