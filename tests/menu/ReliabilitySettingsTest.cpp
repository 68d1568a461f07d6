// Settings under abuse: damaged or enormous preference files give the defaults, and a save
// killed at any moment leaves a file that reads back whole, as the old or the new settings.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "SettingsFixture.h"

namespace {

using SettingsAbuse = SettingsFiles;

TEST_F(SettingsAbuse, ZeroByteBinaryAndHugeFilesGiveTheDefaults) {
    std::mt19937 Random(7);
    std::string  Binary(64 * 1024, '\0');
    for (char& C : Binary)
        C = char(Random());
    std::string Lines;
    for (int I = 0; I < 400000; I++)
        Lines += "[Graphics\nDetail\n=\n";
    const std::pair<const char*, std::string> Files[] = {
        {"zero bytes", ""},
        {"binary", Binary},
        {"one huge line", std::string(48u << 20, 'D')},
        {"a huge number of broken lines", Lines},
        {"NUL bytes inside the keys",
         std::string("[Graphics]\nDe\0tail=3\n[Sound]\nVolume\0=5\n", 38)},
    };
    for (const auto& [What, Text] : Files) {
        SCOPED_TRACE(What);
        Scramble();
        WriteText("default.ini", Text);
        LoadSettings();
        ExpectDefaultPreferences();
    }
}

// The two settings a saving child writes alternately, told apart by every key at once.
void SetVariant(int Which) {
    DetailLevel = Which ? 3 : 1;
    ResolutionWanted = Which ? 5 : 1;
    SoundVolume = Which ? 90 : 10;
    SoundEnabled = Which == 1;
    ShowLog = Which == 0;
    Actors[0].Name = Which ? "NEWSETTINGS" : "OLD";
    Actors[0].ColorR = Actors[0].ColorG = Actors[0].ColorB = Which ? 0.25 : 0.75;
}

// -1 when the loaded values are neither variant, or a mixture of both.
int LoadedVariant() {
    LoadSettings();
    for (int Which = 0; Which < 2; Which++) {
        if (DetailLevel == (Which ? 3 : 1) && ResolutionWanted == (Which ? 5 : 1) &&
            SoundVolume == (Which ? 90 : 10) && SoundEnabled == (Which == 1) &&
            ShowLog == (Which == 0) && Actors[0].Name == (Which ? "NEWSETTINGS" : "OLD") &&
            Actors[0].ColorB == (Which ? 0.25 : 0.75))
            return Which;
    }
    return -1;
}

int Trials() {
    const char* Text = std::getenv("TARVIX_KILL_TRIALS");
    const int   Wanted = Text ? std::atoi(Text) : 0;
    return Wanted > 0 ? Wanted : 300;
}

TEST_F(SettingsAbuse, KilledWhileSavingLeavesTheOldOrTheNewFile) {
    SetVariant(0);
    SaveSettings();
    ASSERT_EQ(LoadedVariant(), 0);
    std::mt19937 Random(2026);
    int          Seen[2] = {0, 0};
    const int    Count = Trials();
    for (int Trial = 0; Trial < Count; Trial++) {
        const pid_t Child = fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            for (int Round = 0;; Round++) {
                SetVariant(Round % 2 == 0 ? 1 : 0);
                SaveSettings();
            }
        }
        usleep(useconds_t(Random() % 20000));
        kill(Child, SIGKILL);
        int Status = 0;
        ASSERT_EQ(waitpid(Child, &Status, 0), Child);
        ASSERT_TRUE(WIFSIGNALED(Status)) << "the saving child ended by itself";
        const int Which = LoadedVariant();
        ASSERT_NE(Which, -1) << "trial " << Trial << ": the file read back as neither settings";
        Seen[Which]++;
    }
    std::printf("%d kills while saving: %d read back old, %d new\n", Count, Seen[0], Seen[1]);
    // Leftover temporary files of killed saves are harmless, but the preference file is whole.
    EXPECT_GT(Seen[0] + Seen[1], 0);
}

} // namespace
