// The real game under Xvfb: it opens its window, runs frames, and ends cleanly by Escape on the
// main menu page or by closing the window.
#include "shell/Window.h"
#include "support/Xvfb.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

// The frame counter as the heads-up display would show it cannot be read from outside; the
// screen can. A running game has drawn something other than the black of an empty screen.
bool ScreenHasContent(clsXvfb& X) {
    clsScreenshot Shot;
    if (!X.ScreenshotPpm(Shot)) return false;
    for (size_t I = 0; I < Shot.Rgb.size(); ++I)
        if (Shot.Rgb[I] > 16) return true;
    return false;
}

class ShellE2E : public ::testing::Test {
  protected:
    void SetUp() override { Folder = clsXvfb::MakeGameFolder(); }
    void TearDown() override {
        if (!Folder.empty()) std::system(("rm -rf '" + Folder + "'").c_str());
    }
    std::string Folder;
};

} // namespace

TEST_F(ShellE2E, EscapeOnTheMainPageEndsTheProgram) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    // --windowed: a window of exactly one of the display modes' sizes.
    bool ModeSize = false;
    for (int32_t N = 1; N <= ResolutionCount; ++N)
        ModeSize |=
            X.WindowWidth == Resolutions[N].Width && X.WindowHeight == Resolutions[N].Height;
    EXPECT_TRUE(ModeSize) << X.WindowWidth << " x " << X.WindowHeight;
    Pause(1.0);
    EXPECT_TRUE(X.AppRunning()) << X.AppLog();
    EXPECT_TRUE(ScreenHasContent(X));
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}

TEST_F(ShellE2E, ClosingTheWindowEndsTheProgram) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(0.5);
    ASSERT_TRUE(X.CloseWindow());
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}

// Without --windowed the game covers the desktop at the desktop's own size, whatever the mode
// (no mode of that size is needed, nothing is refused); Alt+Enter turns it into a window of the
// mode's size and back.
TEST_F(ShellE2E, FullScreenCoversTheDesktopAndAltEnterSwitches) {
    clsXvfb X(1152, 864);
    REQUIRE_XVFB(X);
    ASSERT_TRUE(X.StartApp({"--frames", "100000"}, Folder));
    ASSERT_TRUE(X.WaitForWindow()) << X.AppLog();
    EXPECT_EQ(X.WindowWidth, 1152);
    EXPECT_EQ(X.WindowHeight, 864);
    EXPECT_EQ(X.AppLog().find("Unable to switch to fullscreen!"), std::string::npos) << X.AppLog();
    const auto Geometry = [&] {
        std::string Text;
        X.Run("xdotool getwindowgeometry --shell " + X.WindowId, &Text);
        return Text;
    };
    ASSERT_TRUE(X.SendKey("alt+Return"));
    bool Windowed = false;
    for (int Try = 0; Try < 50 && !Windowed; ++Try) {
        Pause(0.1);
        Windowed = Geometry().find("WIDTH=800\nHEIGHT=600") != std::string::npos;
    }
    EXPECT_TRUE(Windowed) << Geometry();
    ASSERT_TRUE(X.SendKey("alt+Return"));
    bool Full = false;
    for (int Try = 0; Try < 50 && !Full; ++Try) {
        Pause(0.1);
        Full = Geometry().find("WIDTH=1152\nHEIGHT=864") != std::string::npos;
    }
    EXPECT_TRUE(Full) << Geometry();
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}

TEST_F(ShellE2E, FramesOptionEndsAfterThatManyFrames) {
    clsXvfb X;
    REQUIRE_XVFB(X);
    ASSERT_TRUE(X.StartApp({"--windowed", "--frames", "30"}, Folder));
    EXPECT_EQ(X.WaitForExit(20.0), 0) << X.AppLog();
}

// No display at all: the window cannot open (SDL's invisible offscreen fallback is not taken),
// the error is shown, and the program ends with a failure status instead of running on unseen.
TEST_F(ShellE2E, NoDisplayEndsWithAnError) {
    const std::string Command = "cd '" + Folder +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                                "TARVIX_NO_DIALOGS=1 timeout 30 " TARVIX_BINARY
                                " --windowed > log.txt 2>&1";
    const int Status = std::system(Command.c_str());
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 1) << "124 means it ran on until the timeout";
    std::string Log;
    if (FILE* F = std::fopen((Folder + "/log.txt").c_str(), "r")) {
        char Buffer[4096];
        Log.assign(Buffer, std::fread(Buffer, 1, sizeof(Buffer), F));
        std::fclose(F);
    }
    EXPECT_NE(Log.find("Error: Failed to register the window class!"), std::string::npos) << Log;
}

// A left click held long enough for a frame to see it, then time for the page fade.
// The "Name" line of the saved preferences.
std::string SavedName(const std::string& Folder) {
    std::ifstream File(Folder + "/default.ini");
    std::string   Line;
    while (std::getline(File, Line))
        if (Line.rfind("Name=", 0) == 0) return Line.substr(5);
    return "";
}

// Name entry ends with the keypad's Enter as with Return, and with Escape back to the main
// page: letters typed after either never reach the saved name.
TEST_F(ShellE2E, KeypadEnterAndEscapeEndNameEntry) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(1.0);
    EXPECT_TRUE(X.Press(45, 42, 0.6)); // "Settings"
    EXPECT_TRUE(X.Press(45, 47, 0.6)); // "Player"
    EXPECT_TRUE(X.Press(35, 42, 0.6)); // the name field
    for (const char* Key : {"a", "KP_Enter", "b"})
        ASSERT_TRUE(X.SendKey(Key));
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back"
    EXPECT_TRUE(X.Press(37, 52, 0.6)); // "Save"
    EXPECT_EQ(SavedName(Folder), "PLAYERA") << X.AppLog();
    EXPECT_TRUE(X.Press(45, 47, 0.6)); // "Player"
    EXPECT_TRUE(X.Press(35, 42, 0.6)); // the name field
    ASSERT_TRUE(X.SendKey("Escape"));
    Pause(0.6);
    ASSERT_TRUE(X.SendKey("c"));
    EXPECT_TRUE(X.Press(45, 42, 0.6)); // "Settings"
    EXPECT_TRUE(X.Press(37, 52, 0.6)); // "Save"
    EXPECT_EQ(SavedName(Folder), "PLAYERA") << X.AppLog();
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back" to the main page
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
}

// A resolution change from the menu that cannot open any window (the game may open no more
// files, so not even the connection to the display comes back): the error is shown and the
// program ends with a failure status, instead of running on without a window.
TEST_F(ShellE2E, ADisplayModeChangeThatOpensNothingEndsWithAnError) {
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    std::string PidText;
    ASSERT_EQ(X.Run("xdotool getwindowpid " + X.WindowId, &PidText), 0);
    const pid_t Game = pid_t(std::atoi(PidText.c_str()));
    ASSERT_GT(Game, 0);
    Pause(1.0);
    EXPECT_TRUE(X.Press(45, 42, 0.6)); // "Settings"
    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Graphics"
    EXPECT_TRUE(X.Press(87, 42, 0.6)); // resolution " + ": 1024x768, applied when the game starts
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back"
    EXPECT_TRUE(X.Press(45, 62, 0.6)); // "Back" to the main page
    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Single Player"
    EXPECT_TRUE(X.Press(45, 32, 0.6)); // "Custom Arena"
    const rlimit NoNewFiles = {3, 3};
    ASSERT_EQ(prlimit(Game, RLIMIT_NOFILE, &NoNewFiles, nullptr), 0);
    EXPECT_TRUE(X.Press(45, 72, 0.6)); // "Start"
    EXPECT_EQ(X.WaitForExit(20.0), 1) << "-1 means it ran on without a window\n" << X.AppLog();
    EXPECT_NE(X.AppLog().find("Error: Failed to register the window class!"), std::string::npos)
        << X.AppLog();
}

TEST_F(ShellE2E, OptionsAreChecked) {
    EXPECT_EQ(std::system(TARVIX_BINARY " --help > /dev/null"), 0);
    const int Status = std::system(TARVIX_BINARY " --bogus 2> /dev/null");
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 2);
}
