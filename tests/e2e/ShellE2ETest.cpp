// The real game under Xvfb: it opens its window at the resolution of the preferences and ends
// cleanly by Escape on the main menu page or by closing the window; full screen it covers the
// desktop; without a display, or when no display mode opens, it ends with an error. (The
// degradation tests end every run by --frames.)
#include "support/Xvfb.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/resource.h>

namespace {

using ShellE2E = GameFolderTest;

} // namespace

// Start-up reads the preferences before it opens the window: the file's resolution, the
// fallback 1024x768 for one out of range, 800x600 without a file. Escape on the main page or
// closing the window ends the program cleanly, and neither writes the preferences.
TEST_F(ShellE2E, OpensAtTheResolutionOfThePreferencesAndEndsByEscapeOrClose) {
    clsXvfb X;
    REQUIRE_XVFB(X);
    const struct {
        const char* File; // "./default.ini"; null for none
        int32_t     Width, Height;
        bool        Close; // ended by closing the window, not by Escape
    } Cases[] = {
        {"[Graphics]\nResolution=9\n", 1024, 768, false},
        {"[graphics]\r\nresolution = 1\r\n", 640, 480, false},
        {nullptr, 800, 600, true},
    };
    const std::string Ini = Folder + "/default.ini";
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.File ? C.File : "no file");
        std::filesystem::remove(Ini);
        if (C.File) std::ofstream(Ini) << C.File;
        ASSERT_TRUE(X.StartApp({"--windowed"}, Folder));
        ASSERT_TRUE(X.WaitForWindow()) << X.AppLog();
        EXPECT_EQ(X.WindowWidth, C.Width);
        EXPECT_EQ(X.WindowHeight, C.Height);
        ASSERT_TRUE(C.Close ? X.CloseWindow() : X.SendKey("Escape"));
        EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
        std::ifstream Kept(Ini);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(Kept), {}), C.File ? C.File : "");
    }
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
    const auto Sized = [&](int32_t Width, int32_t Height) {
        return WaitUntil([&] {
            return X.ReadGeometry() && X.WindowWidth == Width && X.WindowHeight == Height;
        }, 5);
    };
    ASSERT_TRUE(X.SendKey("alt+Return"));
    EXPECT_TRUE(Sized(800, 600)) << X.WindowWidth << "x" << X.WindowHeight;
    ASSERT_TRUE(X.SendKey("alt+Return"));
    EXPECT_TRUE(Sized(1152, 864)) << X.WindowWidth << "x" << X.WindowHeight;
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(5.0), 0) << X.AppLog();
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
    // 1024x768 chosen on the graphics page is applied when the arena starts.
    EXPECT_TRUE(X.Click({Spot::Settings, Spot::Graphics, Spot::ResolutionUp, Spot::Back, Spot::Back,
                         Spot::SinglePlayer, Spot::CustomArena}));
    const rlimit NoNewFiles = {3, 3};
    ASSERT_EQ(prlimit(Game, RLIMIT_NOFILE, &NoNewFiles, nullptr), 0);
    EXPECT_TRUE(X.Click({Spot::Start}));
    EXPECT_EQ(X.WaitForExit(20.0), 1) << "-1 means it ran on without a window\n" << X.AppLog();
    EXPECT_NE(X.AppLog().find("Error: Failed to register the window class!"), std::string::npos)
        << X.AppLog();
}
