// Repeated new games and resumes in one process: the live GL objects, fonts and animators stay
// where the first setup left them, and the resident memory stays within a few MiB.
// The suite runs 20 of each; TARVIX_GROWTH_ROUNDS=200 runs the long version.
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <malloc.h>
#include <string>
#include <unistd.h>

#include "menu/Menu.h"
#include "menu/Settings.h"
#include "model/Animate.h"
#include "render/OrinGLFont.h"
#include "shell/App.h"
#include "shell/GameEntry.h"
#include "shell/Window.h"
#include "support/BattleFixture.h"
#include "support/GLContext.h"
#include "support/Sanitizers.h"
#include "support/TempFolder.h"
#include "world/Setup.h"
#include "world/World.h"

namespace {

// What one setup leaves alive.
struct LiveObjects {
    int  Textures = 0;  // names answering glIsTexture
    int  Lists = 0;     // names answering glIsList
    int  Fonts = 0;     // font sheets loaded with a live texture
    int  Animators = 0; // model animators held by the setup
    bool operator==(const LiveObjects&) const = default;
};

// The driver hands out ever higher names rather than reusing freed ones, so the scan runs up
// to the next name it would give.
GLuint NextTextureName() {
    GLuint Probe = 0;
    glGenTextures(1, &Probe);
    glDeleteTextures(1, &Probe);
    return Probe;
}

GLuint NextListName() {
    const GLuint Probe = glGenLists(1);
    glDeleteLists(Probe, 1);
    return Probe;
}

LiveObjects CountLive() {
    LiveObjects Live;
    for (GLuint Name = 1, Last = NextTextureName() + 64; Name <= Last; Name++)
        Live.Textures += glIsTexture(Name) ? 1 : 0;
    for (GLuint Name = 1, Last = NextListName() + 64; Name <= Last; Name++)
        Live.Lists += glIsList(Name) ? 1 : 0;
    for (const OrinGLF* Font : {&SmallFont, &BigFont})
        Live.Fonts += Font->Loaded && glIsTexture(Font->Texture) ? 1 : 0;
    for (const auto* Model : {&HeroModel, &TigerModel, &TurretModel, &TurretFarModel,
                              &TigerFarModel, &BonusModel, &HouseModel, &DiskModel, &SphereModel})
        Live.Animators += *Model ? 1 : 0;
    return Live;
}

long ResidentKib() {
    FILE* F = std::fopen("/proc/self/statm", "r");
    long  Pages = 0, Resident = 0;
    if (F) {
        if (std::fscanf(F, "%ld %ld", &Pages, &Resident) != 2) Resident = 0;
        std::fclose(F);
    }
    return Resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int Rounds() {
    const char* Text = std::getenv("TARVIX_GROWTH_ROUNDS");
    const int   Wanted = Text ? std::atoi(Text) : 0;
    return Wanted > 0 ? Wanted : 20;
}

// Runs from a folder that sees the generated data.
class GrowthInContext : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Temp.Ready());
        Temp.LinkGameData(TARVIX_DATA_DIR);
    }
    clsTempFolder Temp;
};

// Bytes handed out by malloc: small blocks of the main arena and mapped large blocks.
size_t HeapInUseKib() {
    const struct mallinfo2 Info = mallinfo2();
    return (Info.uordblks + Info.hblkhd) / 1024;
}

// Runs Count setups the way the menu enters a game, and checks after each that nothing more
// is alive than after the first. Settled is the resident size after the tenth new game: the
// allocator's arenas and the driver's caches take about that long to reach their working size.
void RunSetups(const char* What, bool NewGame, int Count, const LiveObjects& First, long& Settled) {
    const long Before = ResidentKib();
    for (int Round = 1; Round <= Count; Round++) {
        NewGameRequested = NewGame ? 1 : 0;
        GameSetup();
        const LiveObjects Live = CountLive();
        if (NewGame && Round == 10) Settled = ResidentKib();
        if (Round % 20 == 0)
            std::printf("  %s %d: resident %ld KiB, heap in use %zu KiB\n", What, Round,
                        ResidentKib(), HeapInUseKib());
        ASSERT_EQ(Live, First) << What << " " << Round << ": textures " << Live.Textures
                               << " lists " << Live.Lists << " fonts " << Live.Fonts
                               << " animators " << Live.Animators;
    }
    std::printf("%d %s: resident %ld KiB before, %ld KiB after\n", Count, What, Before,
                ResidentKib());
}

TEST_F(GrowthInContext, NewGamesAndResumesLeaveNothingBehind) {
    clsTestGLContext Ctx(320, 240);
    REQUIRE_GL(Ctx);
    REQUIRE_GAME_MODELS();
    ArenaTanks = ArenaTurrets = ArenaBonus = 10;
    RunFirstStart(320, 240);
    NewGameRequested = 1;
    GameSetup(); // the first game entered from the menu
    const LiveObjects First = CountLive();
    std::printf("after the first game: %d textures, %d lists, %d fonts, %d animators\n",
                First.Textures, First.Lists, First.Fonts, First.Animators);
    EXPECT_GE(First.Textures, 16);
    EXPECT_GE(First.Lists, 8);
    EXPECT_EQ(First.Fonts, 2);
    EXPECT_EQ(First.Animators, 9);

    const long   FirstResident = ResidentKib();
    const size_t FirstHeap = HeapInUseKib();
    std::printf("resident %ld KiB, heap in use %zu KiB\n", FirstResident, FirstHeap);
    long Settled = 0;
    GameState = 2;
    RunSetups("new games", true, Rounds(), First, Settled);
    RunSetups("resumes", false, Rounds(), First, Settled);
    const long   LastResident = ResidentKib();
    const size_t LastHeap = HeapInUseKib();
    std::printf(
        "at the end: resident %ld KiB (%+ld KiB from the first game, %+ld KiB from the tenth), "
        "heap in use %zu KiB (%+ld KiB)\n",
        LastResident, LastResident - FirstResident, LastResident - Settled, LastHeap,
        long(LastHeap) - long(FirstHeap));
    EXPECT_LT(long(LastHeap) - long(FirstHeap), 4 * 1024)
        << "the heap grew: something is not released";
    // Under AddressSanitizer freed blocks wait in its quarantine and the heap figure reads 0,
    // so only the object counts above prove anything there.
    // The resident size also holds the GL driver's own caches (compiled shader variants, pooled
    // buffers), which settle in steps of a few megabytes; the heap check above is the strict one.
    if (!SanitizerBuild) {
        EXPECT_LT(LastResident - Settled, 16 * 1024) << "resident memory grew after settling";
    }
}

} // namespace
