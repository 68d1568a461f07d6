// End-to-end fixture: a private Xvfb server, the real game binary on it, and xdotool to drive it.
//
// Start the server with clsXvfb X; REQUIRE_XVFB(X); then StartApp, WaitForWindow, send keys and
// clicks (positions in percent of the game window, x from the left, y from the top), take
// screenshots, and WaitForExit. The destructor ends whatever is still running.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

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
    bool CloseWindow(); // asks the window to close, as a window manager's close button does
    bool Screenshot(const std::string& Path); // whole screen; the format follows the extension
    bool ScreenshotPpm(clsScreenshot& Shot);  // whole screen, read back

    // Runs a shell command with DISPLAY set to this server; its exit status (-1 on failure).
    int         Run(const std::string& Command, std::string* Output = nullptr) const;
    std::string Binary = TARVIX_BINARY; // the game StartApp runs (an installed copy, say)
    std::string WindowId;         // the game window, as xdotool names it
    int32_t     WindowWidth = 0;  // pixels
    int32_t     WindowHeight = 0; // pixels

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

// Waits while the game runs on its own.
inline void Pause(double Seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(Seconds));
}
