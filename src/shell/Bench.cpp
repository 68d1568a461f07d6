// The benchmark: a fixed battle (or an empty frame) for a fixed number of frames, then its figures.
#include "shell/Bench.h"

#include "core/GameState.h"
#include "core/InputState.h"
#include "core/Screen.h"
#include "core/SettingValues.h"
#include "menu/Settings.h"
#include "platform/Clock.h"
#include "shell/App.h"
#include "shell/Events.h"
#include "shell/GameEntry.h"
#include "shell/Screenshot.h"
#include "shell/Window.h"
#include "world/Player.h"
#include "world/Setup.h"
#include "world/World.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

BenchKind BenchMode = BenchKind::None;
int64_t   BenchFrames = 1000;
int32_t   BenchWidth = 800;
int32_t   BenchHeight = 600;
BenchArenaKind BenchArena = BenchArenaKind::Largest;
int64_t        BenchShotFrame = 0;
std::string    BenchShotFile;
int32_t        BenchDetail = 3;
bool           BenchParticles = true;
bool           BenchTrees = true;

namespace {

constexpr int64_t WarmUpFrames = 10; // first frames left out of the percentiles (first uploads)
constexpr int32_t BenchEnergy = 1000;

// The benchmark times frames on the system's counter, whatever clock the game runs on.
const ClockSource BenchClock = SystemClock();

double SecondsOf(int64_t Ticks) { return double(Ticks) / double(BenchClock.CounterFrequency()); }

// The window at the benchmark's size: a display mode number when one matches, else that size
// under number 0, which the game entry's display-mode change then leaves as it is.
void OpenBenchWindow() {
    for (int32_t N = 1; N <= ResolutionCount; ++N) {
        if (Resolutions[N].Width == BenchWidth && Resolutions[N].Height == BenchHeight) {
            ResolutionWanted = N;
            ChangeDisplayMode(int16_t(N));
            return;
        }
    }
    // No mode of that size: number 0 keeps ScreenWidth and ScreenHeight as they are.
    ScreenWidth = BenchWidth;
    ScreenHeight = BenchHeight;
    ResolutionWanted = 0;
    ResolutionApplied = -1;
    ChangeDisplayMode(0);
}

// The game's start-up with the benchmark's settings in place of the settings files and its own
// window size, then the first frame (the menu) swapped.
bool BenchStartUp(double& StartUpMs) {
    QuitRequested = false;
    ResolutionApplied = 0;
    ArenaFromFile = false;
    SetBenchSettings();
    OpenBenchWindow();
    if (!WindowHandle)
        return false;
    SetSwapWait(false); // the figures are the machine's, not the display's refresh
    if (!StartGame())
        return false;
    RunFrame();
    StartUpMs = MillisecondsSinceProcessStart();
    return true;
}

// What the benchmark adds to each battle frame before it is drawn.
void ScriptBattleFrame() {
    SpeedFactor = 1.0f;
    DriveBenchPlayer();
}

void HandleWaitingEvents() {
    while (HandleWaitingEvent()) {
    }
}

// The measured frames; the events are handled as in the game, so closing the window ends the run.
void RunBenchFrames(std::vector<double>& Times) {
    Times.reserve(size_t(BenchFrames));
    while (!QuitRequested && int64_t(Times.size()) < BenchFrames) {
        HandleWaitingEvents();
        const int64_t Start = BenchClock.Counter();
        RunBenchFrame();
        UpdateSoundListener();
        Times.push_back(SecondsOf(BenchClock.Counter() - Start));
    }
}

} // namespace

// A new game as the menu's Start makes it, timed around the game entry.
double StartBenchGame() {
    const int64_t Start = BenchClock.Counter();
    EnterGame(true);
    const double Ms = SecondsOf(BenchClock.Counter() - Start) * 1000.0;
    if (!BenchTrees)
        ShowTrees = false; // what the T key does in the battle, without its log line
    return Ms;
}

void RunBenchFrame() {
    if (BenchMode == BenchKind::Empty) {
        FrameCount += 1;
        AdvanceFrameClock();
        SpeedFactor = 1.0f;
        BeginFrameDrawing();
        EndFrameDrawing();
        SwapMainWindow();
        return;
    }
    RunFrame(ScriptBattleFrame);
}

bool ReadPositiveWhole(const char* Text, int64_t& Value) {
    char*           End = nullptr;
    const long long Number = std::strtoll(Text, &End, 10);
    if (End == Text || *End != '\0' || Number <= 0)
        return false;
    Value = Number;
    return true;
}

namespace {

// A benchmark option without a value that switches one of the player's choices off.
struct BenchSwitch_Rec {
    const char* Option;
    bool*       Flag; // set false by the option
};

// The bench reads no settings file: "--still-models" is its "AnimatedModels=0", "--no-particles"
// its "Particles=0"; trees are not a setting, the game entry derives them from the detail.
const BenchSwitch_Rec BenchSwitches[] = {
    {"--still-models", &AnimatedModels},
    {"--no-particles", &BenchParticles},
    {"--no-trees", &BenchTrees},
};

// The value of --detail: one of the "Detail" setting's values 1 to 3.
int ReadBenchDetail(const char* Value) {
    int64_t Detail = 0;
    if (ReadPositiveWhole(Value, Detail) && Detail <= 3) {
        BenchDetail = int32_t(Detail);
        return 1;
    }
    std::fprintf(stderr, "tarvix: --detail needs 1, 2 or 3\n");
    return -1;
}

} // namespace

int ReadBenchOption(int argc, char** argv, int& i) {
    const char* Option = argv[i];
    if (std::strcmp(Option, "--bench") == 0 || std::strcmp(Option, "--bench-empty") == 0) {
        BenchMode = Option[7] == '\0' ? BenchKind::Battle : BenchKind::Empty;
        return 1;
    }
    for (const BenchSwitch_Rec& Switch : BenchSwitches) {
        if (std::strcmp(Option, Switch.Option) == 0) {
            *Switch.Flag = false;
            return 1;
        }
    }
    if (std::strcmp(Option, "--detail") == 0)
        return ReadBenchDetail(i + 1 < argc ? argv[++i] : "");
    if (std::strcmp(Option, "--bench-arena") == 0) {
        const char* Name = i + 1 < argc ? argv[++i] : "";
        if (std::strcmp(Name, "default") == 0 || std::strcmp(Name, "largest") == 0) {
            BenchArena = Name[0] == 'd' ? BenchArenaKind::Default : BenchArenaKind::Largest;
            if (BenchMode == BenchKind::None)
                BenchMode = BenchKind::Battle;
            return 1;
        }
        std::fprintf(stderr, "tarvix: --bench-arena needs default or largest\n");
        return -1;
    }
    if (std::strcmp(Option, "--bench-shot") == 0) {
        int64_t     Frame = 0;
        const bool  FrameRead = ReadPositiveWhole(i + 1 < argc ? argv[++i] : "", Frame);
        const char* File = i + 1 < argc ? argv[++i] : "";
        if (FrameRead && File[0] != '\0') {
            BenchShotFrame = Frame;
            BenchShotFile = File;
            BenchMode = BenchKind::Battle;
            return 1;
        }
        std::fprintf(stderr, "tarvix: --bench-shot needs a positive frame number and a file\n");
        return -1;
    }
    const bool Frames = std::strcmp(Option, "--bench-frames") == 0;
    const bool Size = std::strcmp(Option, "--size") == 0;
    if (!Frames && !Size)
        return 0;
    const char* Value = i + 1 < argc ? argv[++i] : "";
    if (Frames) {
        if (ReadPositiveWhole(Value, BenchFrames))
            return 1;
        std::fprintf(stderr, "tarvix: --bench-frames needs a positive whole number\n");
        return -1;
    }
    char*      End = nullptr;
    const long W = std::strtol(Value, &End, 10);
    const long H = End != Value && *End == 'x' ? std::strtol(End + 1, &End, 10) : 0;
    if (*End == '\0' && W >= 64 && W <= 8192 && H >= 64 && H <= 8192) {
        BenchWidth = int32_t(W);
        BenchHeight = int32_t(H);
        return 1;
    }
    std::fprintf(stderr, "tarvix: --size needs WIDTHxHEIGHT, each 64 to 8192\n");
    return -1;
}

void SetBenchSettings() {
    DetailLevel = BenchDetail; // the game entry turns the trees on at detail 3
    ShowParticles = BenchParticles;
    if (BenchArena == BenchArenaKind::Default) {
        SetArenaDefaults(); // the values a first start offers in the custom arena page
        return;
    }
    ArenaTanks = 50;
    ArenaTurrets = 50;
    ArenaBonus = 50;
    ArenaStartEnergy = BenchEnergy;
    ArenaMaxShots = 20;
    ArenaRespawn = true;
}

void DriveBenchPlayer() {
    Keys[KeyLeft] = true;
    Keys[KeySpace] = true;
    FireLatch = false; // as if the fire key had been let go since the last shot
    CameraMode = 2;
    if (Actors[0].Energy < BenchEnergy)
        Actors[0].Energy = BenchEnergy;
}

double FrameTimePercentile(std::vector<double>& Times, double Percent) {
    if (Times.empty())
        return 0.0;
    std::sort(Times.begin(), Times.end());
    const double Rank = std::ceil(Percent / 100.0 * double(Times.size()));
    const size_t Index = size_t(std::clamp(Rank, 1.0, double(Times.size()))) - 1;
    return Times[Index];
}

void PrintBenchFigures(const BenchFigures& F, std::FILE* Out) {
    std::fprintf(Out, "bench fps median: %.1f\n", F.MedianFps);
    std::fprintf(Out, "bench frame ms p50: %.2f\n", F.P50Ms);
    std::fprintf(Out, "bench frame ms p99: %.2f\n", F.P99Ms);
    std::fprintf(Out, "bench startup to first frame ms: %.0f\n", F.StartUpMs);
    std::fprintf(Out, "bench new game setup ms: %.1f\n", F.NewGameSetupMs);
    std::fprintf(Out, "bench peak resident kb: %lld\n", static_cast<long long>(F.PeakResidentKb));
    std::fflush(Out);
}

double MillisecondsSinceProcessStart() {
    std::FILE* Stat = std::fopen("/proc/self/stat", "r");
    if (!Stat)
        return 0.0;
    char Line[1024] = {};
    const size_t Got = std::fread(Line, 1, sizeof Line - 1, Stat);
    std::fclose(Stat);
    Line[Got] = '\0';
    // The name in parentheses may hold spaces: the fields are counted from its closing one.
    const char* P = std::strrchr(Line, ')');
    if (!P)
        return 0.0;
    unsigned long long StartTicks = 0;
    // Fields 3..21 are skipped; field 22 is the start time in clock ticks after boot.
    if (std::sscanf(P + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d "
                           "%*d %*d %llu",
                    &StartTicks) != 1)
        return 0.0;
    timespec Now{};
    clock_gettime(CLOCK_BOOTTIME, &Now);
    const double NowMs = double(Now.tv_sec) * 1000.0 + double(Now.tv_nsec) / 1e6;
    return NowMs - double(StartTicks) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

int64_t PeakResidentKilobytes() {
    rusage Usage{};
    if (getrusage(RUSAGE_SELF, &Usage) != 0)
        return 0;
    return Usage.ru_maxrss;
}

bool SaveFrameImage(const std::string& Path, int32_t Width, int32_t Height) {
    if (Width <= 0 || Height <= 0)
        return false;
    const std::vector<uint8_t> Rows = ReadFrameRows({0, 0, Width, Height});
    std::FILE* Out = std::fopen(Path.c_str(), "wb");
    if (!Out)
        return false;
    std::fprintf(Out, "P6\n%d %d\n255\n", Width, Height);
    const bool Written = std::fwrite(Rows.data(), 1, Rows.size(), Out) == Rows.size();
    return std::fclose(Out) == 0 && Written;
}

namespace {

bool ShotWritten = false; // the frame of --bench-shot has been saved

void SaveBenchShot() {
    glFinish();
    ShotWritten = SaveFrameImage(BenchShotFile, ScreenWidth, ScreenHeight);
}

// Runs the battle up to BenchShotFrame and saves that frame, read back before its swap.
int RunBenchShot() {
    BenchMode = BenchKind::Battle;
    for (int64_t Frame = 1; Frame <= BenchShotFrame && !QuitRequested; ++Frame) {
        HandleWaitingEvents();
        if (Frame == BenchShotFrame) {
            RunFrame(ScriptBattleFrame, SaveBenchShot);
            if (!ShotWritten) {
                std::fprintf(stderr, "tarvix: cannot write %s\n", BenchShotFile.c_str());
                return 1;
            }
            return 0;
        }
        RunFrame(ScriptBattleFrame);
        UpdateSoundListener();
    }
    std::fprintf(stderr, "tarvix: the battle ended before frame %lld\n",
                 static_cast<long long>(BenchShotFrame));
    return 1;
}

} // namespace

int RunBench() {
    BenchFigures F{};
    if (!BenchStartUp(F.StartUpMs)) {
        ShutDown();
        return 1;
    }
    F.NewGameSetupMs = StartBenchGame();
    if (BenchShotFrame > 0) {
        const int Status = RunBenchShot();
        ShutDown();
        return Status;
    }
    std::vector<double> Times;
    RunBenchFrames(Times);
    const size_t Skip = size_t(std::min<int64_t>(WarmUpFrames, int64_t(Times.size()) / 10));
    std::vector<double> Steady(Times.begin() + long(Skip), Times.end());
    F.P50Ms = FrameTimePercentile(Steady, 50.0) * 1000.0;
    F.P99Ms = FrameTimePercentile(Steady, 99.0) * 1000.0;
    F.MedianFps = F.P50Ms > 0.0 ? 1000.0 / F.P50Ms : 0.0;
    F.PeakResidentKb = PeakResidentKilobytes();
    ShutDown();
    PrintBenchFigures(F, stdout);
    return 0;
}
