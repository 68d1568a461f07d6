// The benchmark: a fixed battle run for a fixed number of frames at a constant SpeedFactor, with
// the figures printed one a line, so every run on a machine does the same work.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class BenchKind { None, Battle, Empty }; // Empty: each frame only clears and swaps

// The arena the benchmark battle is fought in: the largest custom arena (50/50/50, respawn on,
// 1000 energy, 20 shots) or the default one a first start offers (10/10/10, 100 energy, 2 shots,
// no respawn).
enum class BenchArenaKind { Largest, Default };

extern BenchKind BenchMode;   // --bench or --bench-empty; None for the ordinary game
extern int64_t   BenchFrames; // --bench-frames: frames measured, 1000 unless told
extern int32_t   BenchWidth;  // --size: window width, pixels
extern int32_t   BenchHeight; // --size: window height, pixels
extern BenchArenaKind BenchArena;  // --bench-arena largest|default; Largest unless told
extern int64_t        BenchShotFrame; // --bench-shot FRAME FILE: the frame saved; 0 for none
extern std::string    BenchShotFile;  //   and the file it is saved to (binary PPM)

// The player's own choices, set as the game sets them; without these options the battle is
// played at detail 3 with particles and trees.
extern int32_t BenchDetail;    // --detail N: the "Detail" setting, 1 to 3; 1 and 2 start without trees
extern bool    BenchParticles; // --no-particles: the "Particles" setting off
extern bool    BenchTrees;     // --no-trees: the trees switched off in the battle, as by its T key

// Text as a positive whole number, all of it: --frames, --bench-frames and --bench-shot take
// their counts this way. False, with Value left as it was, for anything else.
bool ReadPositiveWhole(const char* Text, int64_t& Value);

// One benchmark option at argv[i] (--bench, --bench-empty, --bench-frames N, --size WxH,
// --still-models: the tanks drawn still, as with "AnimatedModels=0"; --bench-arena NAME,
// --bench-shot FRAME FILE, --detail N, --no-particles, --no-trees); steps i over the values it
// takes. 1 when taken, 0 when argv[i] is not one of them, -1 for a bad value (the message has
// been printed).
int ReadBenchOption(int argc, char** argv, int& i);

// The settings of the benchmark battle, set in memory (no settings file is read or written):
// the arena BenchArena names, the detail BenchDetail and the particles BenchParticles name.
void SetBenchSettings();

// One frame of the benchmark battle's player: turning left in place, firing whenever a shot is
// free, its energy put back to the arena's start energy so it never dies and the battle goes on.
void DriveBenchPlayer();

// A new game through the menu's own game entry (EnterGame: the display mode, GameState 2, the
// trees from the detail, a new battle, the volume), then the trees off for --no-trees; the
// milliseconds the game entry took. Needs the first setup done and a current context.
double StartBenchGame();

// One benchmark frame at SpeedFactor 1: the battle frame with the bench player driving, or for
// BenchKind::Empty only a clear and a swap.
void RunBenchFrame();

// The figures of a run, from frame times in seconds.
struct BenchFigures {
    double MedianFps;      // frames per second at the median frame time
    double P50Ms;          // frame time at the 50th percentile, milliseconds
    double P99Ms;          // frame time at the 99th percentile, milliseconds
    double StartUpMs;      // process start to the first swapped frame, milliseconds
    double NewGameSetupMs; // one game entry with its GameSetup for a new game, milliseconds
    int64_t PeakResidentKb; // peak resident memory, kilobytes
};

// Percentiles by the nearest rank of the sorted times; sorts Times in place. Zero when empty.
double FrameTimePercentile(std::vector<double>& Times, double Percent);

// Prints the figures, one a line, "bench <figure>: <value>".
void PrintBenchFigures(const BenchFigures& Figures, std::FILE* Out);

// Milliseconds since this process started (from the kernel's record of the start, 10 ms steps).
double MillisecondsSinceProcessStart();

int64_t PeakResidentKilobytes(); // the process's peak resident set so far; 0 when unknown

// Reads the current frame's colour buffer (as a screenshot does, before the swap) and writes it
// to Path as a binary PPM, top row first. False when the file cannot be written.
bool SaveFrameImage(const std::string& Path, int32_t Width, int32_t Height);

// The whole benchmark: window, start-up, a new game, the measured frames, the figures on stdout.
// With --bench-shot the battle runs up to the named frame, saves it and ends without figures.
// Returns the process exit status.
int RunBench();
