// Program start, the main loop and shut-down.
#include "shell/App.h"

#include "core/KeyBindings.h"
#include "core/Timer.h"
#include "menu/Menu.h"
#include "menu/Settings.h"
#include "platform/Platform.h"
#include "platform/UserPaths.h"
#include "shell/Bench.h"
#include "shell/Events.h"
#include "shell/Frame.h"
#include "shell/GameEntry.h"
#include "shell/Gamepad.h"
#include "shell/Input.h"
#include "shell/Screenshot.h"
#include "shell/Window.h"
#include "sound/Sound.h"
#include "world/World.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* Usage = "Usage: tarvix [--windowed] [--frames N] [--help]\n"
                              "              [--bench | --bench-empty] [--bench-frames N] [--size WxH]\n"
                              "              [--still-models] [--detail N] [--no-particles] [--no-trees]\n"
                              "              [--bench-arena largest|default] [--bench-shot FRAME FILE]\n"
                              "  --windowed        an ordinary window of the display mode's size\n"
                              "  --frames N        end after N frames\n"
                              "  --bench           run the fixed benchmark battle and print its figures\n"
                              "  --bench-empty     the same with frames that only clear and swap\n"
                              "  --bench-frames N  frames the benchmark measures (1000)\n"
                              "  --size WxH        the benchmark's window size (800x600)\n"
                              "  --still-models    the benchmark's tanks drawn still, without walking\n"
                              "  --detail N        the benchmark's Detail setting: 1 low, 2 medium, 3 high (3)\n"
                              "  --no-particles    the benchmark with its Particles setting off\n"
                              "  --no-trees        the benchmark with its trees off (as the T key)\n"
                              "  --bench-arena A   the battle's arena: largest (50/50/50) or default (10/10/10)\n"
                              "  --bench-shot FRAME FILE\n"
                              "                    save that frame of the benchmark battle as a PPM image\n"
                              "  --help            this list\n";

int64_t FrameLimit = 0; // --frames: frames to run before the program ends; 0 for no limit

// Reads the options. Returns -1 to carry on, otherwise the exit status to end with at once.
int ReadOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windowed") == 0) {
            WindowedOption = true;
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            if (!ReadPositiveWhole(argv[++i], FrameLimit)) {
                std::fprintf(stderr, "tarvix: --frames needs a positive whole number\n%s", Usage);
                return 2;
            }
        } else if (const int Bench = ReadBenchOption(argc, argv, i); Bench != 0) {
            if (Bench < 0) {
                std::fputs(Usage, stderr);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "tarvix: unknown option %s\n%s", argv[i], Usage);
            return 2;
        }
    }
    return -1;
}

void MainLoop() {
    int64_t FramesRun = 0;
    while (!QuitRequested) {
        if (!HandleWaitingEvent()) {
            RunFrame();
            if (FrameLimit > 0 && ++FramesRun >= FrameLimit)
                QuitRequested = true;
        }
        UpdateSoundListener();
    }
}

} // namespace

void RunFrame(void (*BeforeDrawing)(), void (*BeforeSwap)()) {
    FrameCount += 1;
    AdvanceFrameClock();
    if (BeforeDrawing)
        BeforeDrawing();
    DrawFrame();
    ProcessScreenshotKey(); // reads the frame as drawn, so before the swap shows it
    if (BeforeSwap)
        BeforeSwap();
    SwapMainWindow();
    UpdateGamepads();
    if (!HandleEscape()) {
        ProcessGameKeys();
        UpdatePointer();
        ProcessMouseButtons();
    }
}

bool StartUp() {
    QuitRequested = false;
    ResolutionApplied = 0;
    LoadSettings(); // before the window opens, so it opens at the saved resolution
    ChangeDisplayMode(int16_t(ResolutionWanted));
    return StartGame();
}

bool StartGame() {
    if (!WindowHandle)
        return false;
    GameSetup(); // leaves GameState 1 and MenuPage 1 with a battle ready behind the menu
    ReportKeyBindingProblems(); // the event log exists only now
    StartGamepads();            // controllers already plugged in arrive as device events
    SoundSetDistanceFactor(100.0f);
    if (!GameTimer)
        ResetGameTimer();
    LastFrameTime = GameTimer->ElapsedSeconds();
    return true;
}

void ShutDown() {
    StopGamepads();
    SoundClose();
    DestroyMainWindow(true);
    delete GameTimer;
    GameTimer = nullptr;
    ClosePlatform();
}

bool HandleEscape() {
    if (!Keys[KeyEscape])
        return false;
    if (GameState == 2) {
        GameState = 1;
        SoundStopSound(SoundAllChannels);
    } else if (GameState == 1) {
        if (MenuPage == PageMain) {
            QuitRequested = true;
        } else {
            // Back to the main page ends name entry, as every page change does: otherwise keys
            // typed later would still change the player's name, out of sight.
            PreviousMenuPage = MenuPage;
            MenuPage = PageMain;
            MenuTransition = 1.0;
            TextEditMode = 0;
        }
    }
    Keys[KeyEscape] = false;
    return true;
}

void UpdateSoundListener() {
    const float Position[3] = {Actors[0].X, Actors[0].Y, Actors[0].Z};
    const float Velocity[3] = {0.0f, 0.0f, 0.0f};
    SoundListenerSetAttributes(Position, Velocity, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    SoundUpdate();
}

int RunProgram(int argc, char** argv) {
    const int Status = ReadOptions(argc, argv);
    if (Status >= 0)
        return Status;
    if (!SetUpUserPaths())
        std::fprintf(stderr, "tarvix: cannot use the installed data or the user folder %s\n",
                     UserConfigFolder().c_str());
    // The benchmark draws at exactly its own size, so its figures compare across desktops.
    if (BenchMode != BenchKind::None) {
        WindowedOption = true;
        return RunBench();
    }
    if (!StartUp()) {
        ShutDown();
        return 1;
    }
    MainLoop();
    // The loop ends without a window only when a display-mode change could open neither the
    // new mode nor the old one (the error has been shown): a failure, though an orderly one.
    const int ExitStatus = WindowHandle ? 0 : 1;
    ShutDown();
    return ExitStatus;
}
