// End-to-end fixture: a private Xvfb server, the real game binary on it, and xdotool to drive it.
//
// Start the server with clsXvfb X; REQUIRE_XVFB(X); then StartApp, WaitForWindow, send keys and
// clicks (positions in percent of the game window, x from the left, y from the top), take
// screenshots, and WaitForExit. The destructor ends whatever is still running.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <sys/types.h>
#include <vector>

#include "support/Wait.h"

// Where a player clicks a menu item: its centre, in percent of the game's picture (x from the
// left, y from the top), as the menu tree places it.
struct MenuSpot {
    double X;
    double Y;
};
namespace Spot {
constexpr MenuSpot ResumeGame{45, 22.5};     // main page
constexpr MenuSpot EndGame{45, 27.5};        // main page
constexpr MenuSpot SinglePlayer{45, 32.5};   // main page
constexpr MenuSpot Settings{45, 42.5};       // main page
constexpr MenuSpot Quit{45, 52.5};           // main page
constexpr MenuSpot Yes{45, 52.5};            // end-game page
constexpr MenuSpot Graphics{45, 32.5};       // settings page
constexpr MenuSpot Player{45, 47.5};         // settings page
constexpr MenuSpot Save{37.5, 52.5};         // settings page
constexpr MenuSpot Load{52.5, 52.5};         // settings page
constexpr MenuSpot Back{45, 62.5};           // the settings pages
constexpr MenuSpot ResolutionUp{87.5, 42.5}; // graphics page
constexpr MenuSpot NameField{35, 42.5};      // player page
constexpr MenuSpot CustomArena{50, 32.5};    // single-player page
constexpr MenuSpot TanksUp{32.5, 17.5};      // custom-arena page
constexpr MenuSpot TurretsDown{32.5, 32.5};
constexpr MenuSpot BonusDown{32.5, 42.5};
constexpr MenuSpot EnergyUp{32.5, 47.5};
constexpr MenuSpot ShotsUp{32.5, 57.5};
constexpr MenuSpot Respawn{50, 67.5};
constexpr MenuSpot Start{50, 72.5};
} // namespace Spot

// An RGB screenshot read back from a PPM file; pixels row by row from the top-left corner.
struct clsScreenshot {
    int32_t              Width = 0;
    int32_t              Height = 0;
    std::vector<uint8_t> Rgb; // Width * Height * 3 bytes
    bool                 Load(const std::string& PpmPath);
    const uint8_t* At(int32_t X, int32_t Y) const { return &Rgb[(size_t(Y) * Width + X) * 3]; }
};

class clsXvfb {
  public:
    clsXvfb(int32_t Width = 1280, int32_t Height = 1024); // starts Xvfb on a free display number
    ~clsXvfb();
    bool        Ready() const { return ServerPid > 0; }
    std::string Display() const { return ":" + std::to_string(DisplayNumber); }

    // A fresh temporary working folder holding links to everything in the build's data folder,
    // so the game finds its assets while INI files it writes stay private to the test.
    static std::string MakeGameFolder();

    // Starts the game (TARVIX_BINARY) with these arguments in WorkDir; its output goes to a log.
    bool StartApp(const std::vector<std::string>& Args, const std::string& WorkDir);
    // Finds the game window, focuses it and waits for its first drawn frame: keys pressed while
    // the game is still setting up would be released before any frame could see them.
    bool WaitForWindow(double TimeoutSeconds = 20.0);
    bool WaitForDrawing(double TimeoutSeconds); // something other than black inside the window
    bool AppRunning();
    int  WaitForExit(double TimeoutSeconds); // exit status; 128 + signal; -1 on timeout
    void StopApp();                          // kills the game if it still runs
    std::string AppLog() const;              // everything the game wrote so far

    // xdotool key names: "Escape", "a", "F1", "Return". SendKey holds the key for 0.15 s.
    bool SendKey(const std::string& KeyName);
    bool KeyDown(const std::string& KeyName);
    bool KeyUp(const std::string& KeyName);
    bool MoveTo(double PctX, double PctY);
    // A left-button press the game sees: the pointer arrives, the button stays down across a few
    // frames, then Settle seconds for the menu page to fade in before the next press can land.
    bool Press(double PctX, double PctY, double Settle = 1.5);
    // Presses the menu items in turn, each with time for its page to fade in.
    bool Click(std::initializer_list<MenuSpot> Spots, double Settle = 0.6);
    bool CloseWindow(); // asks the window to close, as a window manager's close button does
    bool Screenshot(const std::string& Path); // whole screen; the format follows the extension
    bool ScreenshotPpm(clsScreenshot& Shot);  // whole screen, read back
    // Share of the pixels in a rectangle of the game window (percent, y from the top) that pass.
    double Share(const clsScreenshot& Shot, double X0, double Y0, double X1, double Y1,
                 const std::function<bool(const uint8_t*)>& Test) const;
    bool   MenuTitleShown(); // a menu page's big white title is on the screen

    // Runs a shell command with DISPLAY set to this server; its exit status (-1 on failure).
    int         Run(const std::string& Command, std::string* Output = nullptr) const;
    std::string Binary = TARVIX_BINARY; // the game StartApp runs (an installed copy, say)
    std::string WindowId;               // the game window, as xdotool names it
    int32_t     WindowX = 0, WindowY = 0; // its top-left corner on the screen, pixels
    int32_t     WindowWidth = 0;          // pixels
    int32_t     WindowHeight = 0;         // pixels
    // Asks the X server where the window is and how large: WindowX, WindowY, WindowWidth and
    // WindowHeight. False when it cannot be asked.
    bool ReadGeometry();

  private:
    pid_t       ServerPid = -1;
    pid_t       AppPid = -1;
    int         DisplayNumber = -1;
    std::string LogPath;
    std::string TempDir;
};

// Skips the current test with a message when no Xvfb server could be started.
#define REQUIRE_XVFB(X)                                                                            \
    do {                                                                                           \
        if (!(X).Ready()) GTEST_SKIP() << "Xvfb could not be started";                             \
    } while (0)

// Starts the game in a window in Folder and waits for the window; skips without a server.
#define START_WINDOWED_GAME(X, Folder)                                                             \
    REQUIRE_XVFB(X);                                                                               \
    ASSERT_TRUE((X).StartApp({"--windowed"}, Folder));                                             \
    ASSERT_TRUE((X).WaitForWindow()) << (X).AppLog()

// A test that runs the game in a fresh game folder of its own (MakeGameFolder), removed after.
class GameFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Folder = clsXvfb::MakeGameFolder();
        ASSERT_FALSE(Folder.empty());
    }
    void TearDown() override {
        std::error_code Ignored;
        if (!Folder.empty()) std::filesystem::remove_all(Folder, Ignored);
    }
    std::string Folder;
};
