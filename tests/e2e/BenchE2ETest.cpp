// The benchmark from the command line: a few frames in SDL's offscreen driver and in a window
// under Xvfb print every figure line; the player's settings files are left untouched.
// No timing is asserted: these machines are shared.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "support/Xvfb.h"

namespace {

const char* const FigureLines[] = {
    "bench fps median: ",        "bench frame ms p50: ",
    "bench frame ms p99: ",      "bench startup to first frame ms: ",
    "bench new game setup ms: ", "bench peak resident kb: ",
};

std::string ReadWhole(const std::string& Path) {
    std::ifstream     In(Path, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

// Every figure once, each followed by a number that is not negative.
void ExpectEveryFigure(const std::string& Output) {
    for (const char* Line : FigureLines) {
        const size_t At = Output.find(Line);
        ASSERT_NE(At, std::string::npos) << "missing \"" << Line << "\" in:\n" << Output;
        EXPECT_EQ(Output.find(Line, At + 1), std::string::npos) << Line << " twice";
        const double Value = std::atof(Output.c_str() + At + std::strlen(Line));
        EXPECT_GE(Value, 0.0) << Line;
    }
    const size_t Fps = Output.find(FigureLines[0]);
    EXPECT_GT(std::atof(Output.c_str() + Fps + std::strlen(FigureLines[0])), 0.0);
}

// Runs the game in Folder with the offscreen driver; its stdout, and the exit status in Status.
std::string RunOffscreen(const std::string& Folder, const std::string& Args, int& Status) {
    const std::string Command = "cd '" + Folder +
                                "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
                                "TARVIX_NO_DIALOGS=1 timeout 120 '" TARVIX_BINARY "' " +
                                Args + " 2>/dev/null";
    std::string Output;
    FILE*       Pipe = popen(Command.c_str(), "r");
    if (!Pipe) {
        Status = -1;
        return Output;
    }
    char Buffer[512];
    while (std::fgets(Buffer, sizeof Buffer, Pipe))
        Output += Buffer;
    const int Raw = pclose(Pipe);
    Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    return Output;
}

bool HaveData() {
    return std::filesystem::exists(std::string(TARVIX_DATA_DIR) + "/models/hero.mdl");
}

// The largest arena, the default one and empty frames.
TEST(BenchE2E, OffscreenBattlesAndEmptyFramesPrintEveryFigureAndLeaveTheSettingsAlone) {
    if (!HaveData()) GTEST_SKIP() << "the generated data is not there yet";
    const std::string Folder = clsXvfb::MakeGameFolder();
    ASSERT_FALSE(Folder.empty());
    const std::string Settings = "[Settings]\nDetail=1\n";
    const std::string Arena = "[LastArena]\nTanks=1\n";
    std::ofstream(Folder + "/default.ini") << Settings;
    std::ofstream(Folder + "/lastarena.ini") << Arena;
    const auto Before = std::filesystem::last_write_time(Folder + "/default.ini");
    for (const char* Mode : {"--bench", "--bench-arena default", "--bench-empty"}) {
        int               Status = -1;
        const std::string Output =
            RunOffscreen(Folder, std::string(Mode) + " --bench-frames 5 --size 320x240", Status);
        EXPECT_EQ(Status, 0) << Mode << "\n" << Output;
        ExpectEveryFigure(Output);
    }
    EXPECT_EQ(ReadWhole(Folder + "/default.ini"), Settings);
    EXPECT_EQ(ReadWhole(Folder + "/lastarena.ini"), Arena);
    EXPECT_EQ(std::filesystem::last_write_time(Folder + "/default.ini"), Before);
    std::filesystem::remove_all(Folder);
}

// Unknown options and bad values end at once with status 2 and no figures; --help ends with 0.
TEST(BenchE2E, BadOptionsEndWithStatusTwo) {
    const std::string Folder = clsXvfb::MakeGameFolder();
    ASSERT_FALSE(Folder.empty());
    int Status = -1;
    RunOffscreen(Folder, "--help", Status);
    EXPECT_EQ(Status, 0);
    for (const char* Args :
         {"--bogus", "--bench --bench-frames 0", "--bench --size 800", "--bench-frames",
          "--bench-arena huge", "--bench-shot 0 a.ppm", "--bench-shot 10"}) {
        const std::string Output = RunOffscreen(Folder, Args, Status);
        EXPECT_EQ(Status, 2) << Args;
        EXPECT_EQ(Output.find("bench fps"), std::string::npos) << Args;
    }
    std::filesystem::remove_all(Folder);
}

// A saved frame is a PPM of the window's size holding the battle: the sky above, the ground
// below, not one flat colour; the same frame saved twice is the same picture.
TEST(BenchE2E, BenchShotSavesTheNamedFrameAtTheWindowSize) {
    if (!HaveData()) GTEST_SKIP() << "the generated data is not there yet";
    const std::string Folder = clsXvfb::MakeGameFolder();
    ASSERT_FALSE(Folder.empty());
    int               Status = -1;
    const std::string Output =
        RunOffscreen(Folder, "--bench-shot 20 first.ppm --size 320x240", Status);
    EXPECT_EQ(Status, 0);
    EXPECT_EQ(Output.find("bench fps"), std::string::npos) << "a saved frame prints no figures";
    clsScreenshot Shot;
    ASSERT_TRUE(Shot.Load(Folder + "/first.ppm"));
    EXPECT_EQ(Shot.Width, 320);
    EXPECT_EQ(Shot.Height, 240);
    int Distinct = 0;
    for (int32_t Y = 0; Y < Shot.Height; Y += 8)
        Distinct += std::memcmp(Shot.At(0, Y), Shot.At(0, 0), 3) != 0;
    EXPECT_GT(Distinct, 5) << "the left column is one colour";
    RunOffscreen(Folder, "--bench-shot 20 again.ppm --size 320x240", Status);
    EXPECT_EQ(ReadWhole(Folder + "/again.ppm"), ReadWhole(Folder + "/first.ppm"))
        << "the benchmark battle is not the same from run to run";
    EXPECT_FALSE(std::filesystem::exists(Folder + "/default.ini"));
    std::filesystem::remove_all(Folder);
}

TEST(BenchE2E, WindowedUnderXvfbPrintsEveryFigure) {
    if (!HaveData()) GTEST_SKIP() << "the generated data is not there yet";
    clsXvfb X(1024, 768);
    REQUIRE_XVFB(X);
    const std::string Folder = clsXvfb::MakeGameFolder();
    ASSERT_TRUE(X.StartApp({"--bench", "--windowed", "--bench-frames", "5"}, Folder));
    EXPECT_EQ(X.WaitForExit(120.0), 0) << X.AppLog();
    ExpectEveryFigure(X.AppLog());
    EXPECT_FALSE(std::filesystem::exists(Folder + "/default.ini"));
    EXPECT_FALSE(std::filesystem::exists(Folder + "/lastarena.ini"));
    std::filesystem::remove_all(Folder);
}

} // namespace
