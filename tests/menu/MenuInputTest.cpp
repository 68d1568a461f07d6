// Menu input and actions: the hit test, the click gates and feedback, every setting's steps and
// limits, the page links, the game's entry and end, and name entry.
#include "MenuFixture.h"

#include <AL/al.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "menu/MenuInput.h"
#include "shell/GameEntry.h"
#include "shell/Input.h"
#include "sound/Sound.h"
#include "support/TempFolder.h"
#include "world/Setup.h"

namespace {

using MenuHit = MenuFixture;
using MenuActions = MenuFixture;
using NameEntry = MenuFixture;

// OpenAL's silent device plays like a real one, so "is a channel playing" can be asked; the
// click is the game's own sample.
bool OpenSilentSound() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    if (!SoundActive() && !SoundInit(44100, SoundChannelCount)) return false;
    if (SndButton == 0)
        SndButton =
            SoundSampleLoad(std::string(TARVIX_DATA_DIR) + "/sound/fx/button.mp3", SoundMode2D);
    return SndButton != 0;
}

// Closes the silent device once every test has run.
struct SoundCloser : ::testing::Environment {
    void TearDown() override { SoundClose(); }
};
const auto* const RegisteredCloser = ::testing::AddGlobalTestEnvironment(new SoundCloser);

bool AnyChannelPlaying() {
    for (int32_t Channel = 0; Channel < SoundChannelCount; ++Channel)
        if (SoundChannelPlaying(Channel)) return true;
    return false;
}

// --- hit test ---

TEST_F(MenuHit, EdgesAreOutside) {
    // "Settings", slot 6: x 30..60, y 40..45.
    const struct {
        float   X, Y;
        int32_t Hit;
    } Cases[] = {{30, 42, -1}, {30.01f, 42, 6}, {59.99f, 42, 6}, {60, 42, -1},
                 {45, 40, -1}, {45, 40.01f, 6}, {45, 44.99f, 6}, {45, 45, -1}};
    for (const auto& C : Cases) {
        PointAt(C.X, C.Y);
        EXPECT_EQ(MenuHitTest(), C.Hit) << C.X << "," << C.Y;
        EXPECT_EQ(MenuItems[6].Hover, C.Hit == 6);
        EXPECT_EQ(HoverItemY, C.Hit == 6 ? 40.0 : -100.0);
    }
}

TEST_F(MenuHit, TheHighestOverlappingSlotWins) {
    const int32_t Extra = AddMenuItem(PageMain, "Over", KindButton, 40, 41);
    MenuItems[Extra].Width = 5;
    MenuItems[Extra].Height = 5;
    PointAt(42, 43);
    EXPECT_EQ(MenuHitTest(), Extra);
    EXPECT_TRUE(MenuItems[6].Hover); // both are marked
    EXPECT_TRUE(MenuItems[Extra].Hover);
    EXPECT_EQ(HoverItemY, 41.0);
}

TEST_F(MenuHit, OnlyTheShownPageIsHitAndMarked) {
    MenuItems[12].Hover = true; // "Graphics" on page 2, at the same place as slot 4 on page 1
    PointAt(31, 32);
    EXPECT_EQ(MenuHitTest(), 4);
    EXPECT_TRUE(MenuItems[12].Hover); // other pages keep their marks
}

TEST_F(MenuHit, NothingIsHitWhileAPageFades) {
    MenuItems[6].Hover = true;
    MenuTransition = 0.0001;
    PointAt(31, 27); // over "End Game": both marks freeze
    EXPECT_EQ(MenuHitTest(), -1);
    EXPECT_TRUE(MenuItems[6].Hover);
    EXPECT_FALSE(MenuItems[3].Hover);
    EXPECT_EQ(HoverItemY, -100.0);
    MenuTransition = 0;
    EXPECT_EQ(MenuHitTest(), 3);
    EXPECT_FALSE(MenuItems[6].Hover);
}

TEST_F(MenuHit, ResumeIsHitOnlyDuringAGameButTheHiddenEndGameAlways) {
    PointAt(31, 22);
    EXPECT_EQ(MenuHitTest(), -1);
    PointAt(31, 27);
    EXPECT_EQ(MenuHitTest(), 3);
    EXPECT_EQ(HoverItemY, 25.0); // the backdrop swerves under the hidden button
    GameInProgress = true;
    PointAt(31, 22);
    EXPECT_EQ(MenuHitTest(), 2);
}

// --- click gates and feedback ---

TEST_F(MenuActions, WithoutAGameResumeAndEndGameDoNothingAtAll) {
    const bool HaveSound = OpenSilentSound();
    SoundEnabled = true;
    SoundStopSound(SoundAllChannels);
    for (int32_t Slot : {2, 3}) {
        MenuItems[Slot].Hover = true;
        MenuAction(Slot);
        EXPECT_EQ(CountPointerStars(), 0);
        EXPECT_EQ(MenuPage, PageMain);
        EXPECT_EQ(GameState, 1);
        EXPECT_TRUE(MenuItems[Slot].Hover);
        if (HaveSound) {
            EXPECT_FALSE(AnyChannelPlaying());
        }
    }
}

// The click sound plays while sound is on; the stars fly from the pointer in overlay
// coordinates, whose y runs upwards.
TEST_F(MenuActions, AnAcceptedClickSoundsAndThrowsFiftyStarsAtThePointer) {
    const bool HaveSound = OpenSilentSound();
    SoundEnabled = true;
    SoundStopSound(SoundAllChannels);
    PointAt(40, 30);
    MenuItems[5].Hover = true;
    MenuAction(5); // "Multiplayer"
    EXPECT_FALSE(MenuItems[5].Hover);
    EXPECT_EQ(CountPointerStars(), 50);
    EXPECT_FLOAT_EQ(PointerStars[0].X, 40);
    EXPECT_FLOAT_EQ(PointerStars[0].Y, 70);
    if (!HaveSound) GTEST_SKIP() << "no OpenAL device, not even the silent one";
    EXPECT_TRUE(AnyChannelPlaying());
    SoundStopSound(SoundAllChannels);
    SoundEnabled = false;
    MenuAction(5);
    EXPECT_FALSE(AnyChannelPlaying());
}

TEST_F(MenuActions, StarsOnlyWhilePointerStarsAreOnAndOnlyIntoFreeSlots) {
    ShowPointerStars = false;
    MenuAction(6);
    EXPECT_EQ(CountPointerStars(), 0);
    ShowPointerStars = true;
    for (int I = 0; I < 480; ++I)
        PointerStars[I].Life = 0.5f;
    MenuAction(6);
    EXPECT_EQ(CountPointerStars(), 500);
}

// A click on the name field starts name entry; a page link ends it.
TEST_F(MenuActions, TheNameFieldStartsNameEntryAndALinkEndsIt) {
    MenuPage = PagePlayer;
    MenuAction(44);
    EXPECT_EQ(TextEditMode, 1);
    EXPECT_EQ(MenuPage, PagePlayer);
    MenuAction(45); // "Back"
    EXPECT_EQ(PreviousMenuPage, PagePlayer);
    EXPECT_EQ(MenuPage, PageSettings);
    EXPECT_EQ(MenuTransition, 1.0);
    EXPECT_EQ(TextEditMode, 0);
}

TEST_F(MenuActions, ThePlayerPageIsClosedDuringAGame) {
    MenuPage = PageSettings;
    GameInProgress = true;
    MenuAction(15);
    EXPECT_EQ(MenuPage, PageSettings);
    EXPECT_EQ(MenuTransition, 0.0);
    EXPECT_EQ(CountPointerStars(), 50); // the click itself is still acknowledged
    GameInProgress = false;
    MenuAction(15);
    EXPECT_EQ(MenuPage, PagePlayer);
}

// A value label is hit like a button, and its click is acknowledged, but it changes nothing.
TEST_F(MenuActions, AValueLabelClickChangesNothing) {
    MenuPage = PageCustomArena;
    ArenaTanks = 7;
    ClickAt(41, 22); // "Enemy Tanks:7"
    EXPECT_EQ(MouseButton, 0) << "the press was used up by the label";
    EXPECT_EQ(ArenaTanks, 7);
    EXPECT_EQ(MenuPage, PageCustomArena);
    EXPECT_EQ(CountPointerStars(), 50);
}

TEST_F(MenuActions, QuitEndsTheProgram) {
    QuitRequested = false;
    MenuAction(7);
    EXPECT_TRUE(QuitRequested);
    QuitRequested = false;
}

TEST_F(MenuActions, TogglesFlipTheirFlags) {
    struct {
        int32_t Slot;
        bool*   Flag;
    } Toggles[] = {{34, &SoundEnabled},   {47, &ShowLog},          {48, &ShowRadar},
                   {49, &ShowCompass},    {50, &ShowHelp},         {51, &ShowParticles},
                   {52, &ShowCrosshairs}, {53, &ShowPointerStars}, {76, &ArenaRespawn}};
    for (auto& T : Toggles) {
        const bool Before = *T.Flag;
        MenuAction(T.Slot);
        EXPECT_EQ(*T.Flag, !Before) << MenuItems[T.Slot].Caption;
        MenuAction(T.Slot);
        EXPECT_EQ(*T.Flag, Before) << MenuItems[T.Slot].Caption;
    }
}

// --- steps and limits ---

// Clicks slot Slot Times times.
void Click(int32_t Slot, int Times = 1) {
    for (int I = 0; I < Times; ++I)
        MenuAction(Slot);
}

// Each stepped setting by its plus and minus buttons: the step, the limits, and a step that
// would overshoot a limit stopping at it.
TEST_F(MenuActions, SteppedSettingsStopAtTheirLimits) {
    const struct {
        Setting Value;
        int32_t Plus, Minus;
        double  Min, Max, Step;
    } Steps[] = {
        {&DetailLevel, 21, 22, 1, 3, 1},        {&ResolutionWanted, 24, 25, 1, 5, 1},
        {&SoundVolume, 32, 33, 0, 100, 1},      {&Actors[0].ColorR, 38, 39, 0, 1, 0.1},
        {&Actors[0].ColorG, 40, 41, 0, 1, 0.1}, {&Actors[0].ColorB, 42, 43, 0, 1, 0.1},
        {&ArenaTanks, 62, 63, 0, 50, 1},        {&ArenaTurrets, 65, 66, 0, 50, 1},
        {&ArenaBonus, 68, 69, 0, 50, 1},        {&ArenaStartEnergy, 71, 72, 10, 1000, 10},
        {&ArenaMaxShots, 74, 75, 1, 20, 1},
    };
    for (const auto& S : Steps) {
        SCOPED_TRACE(MenuItems[S.Plus].Key);
        Set(S.Value, S.Min);
        Click(S.Minus);
        EXPECT_DOUBLE_EQ(Held(S.Value), S.Min);
        Click(S.Plus);
        EXPECT_DOUBLE_EQ(Held(S.Value), S.Min + S.Step);
        Set(S.Value, S.Max);
        Click(S.Plus);
        EXPECT_DOUBLE_EQ(Held(S.Value), S.Max);
        Click(S.Minus);
        EXPECT_DOUBLE_EQ(Held(S.Value), S.Max - S.Step);
        Set(S.Value, S.Max - S.Step / 2); // 995 energy, colour 0.95 (from the file)
        Click(S.Plus);
        EXPECT_DOUBLE_EQ(Held(S.Value), S.Max);
        Set(S.Value, S.Min + S.Step / 2);
        Click(S.Minus);
        EXPECT_DOUBLE_EQ(Held(S.Value), S.Min);
    }
}

// Colour components are stepped by adding tenths without rounding.
TEST_F(MenuActions, ColourStepsAreUnroundedTenths) {
    Actors[0].ColorB = 1.0;
    Click(43, 10);
    EXPECT_GT(Actors[0].ColorB, 0.0); // ten tenths off 1.0 leave a remainder
    EXPECT_LT(Actors[0].ColorB, 1e-15);
    Actors[0].ColorB = 0.0;
    Click(42, 10);
    EXPECT_LT(Actors[0].ColorB, 1.0); // and ten tenths up from 0 end just below 1
    EXPECT_NEAR(Actors[0].ColorB, 1.0, 1e-15);
}

TEST_F(MenuActions, AnisotropyCannotRiseWithoutADriverMaximum) {
    // No OpenGL context here: the query answers nothing and the maximum stays 0.
    MaxAnisotropy = 0;
    Anisotropy = 0;
    Click(27);
    EXPECT_EQ(Anisotropy, 0.0f);
    Anisotropy = 2.7f; // from the settings file; steps go by whole levels
    Click(28);
    EXPECT_EQ(Anisotropy, 1.0f);
    Click(28, 3);
    EXPECT_EQ(Anisotropy, 0.0f);
}

// --- leaving and ending games ---

TEST_F(MenuActions, YesEndsTheGameAndFadesToTheMainPage) {
    GameInProgress = true;
    MenuPage = PageEndGame;
    PlayerVelocity = 0.7;
    TextEditMode = 1;
    MenuAction(9);
    EXPECT_FALSE(GameInProgress);
    EXPECT_EQ(MenuPage, PageMain);
    EXPECT_EQ(PreviousMenuPage, PageEndGame);
    EXPECT_EQ(MenuTransition, 1.0);
    EXPECT_EQ(PlayerVelocity, 0.0);
    EXPECT_EQ(TextEditMode, 0);
    EXPECT_EQ(GameState, 1);
}

TEST_F(MenuActions, NoKeepsTheGame) {
    GameInProgress = true;
    MenuPage = PageEndGame;
    MenuAction(10);
    EXPECT_TRUE(GameInProgress);
    EXPECT_EQ(MenuPage, PageMain);
}

// --- entering the game ---

// A real window and the generated data behind the menu, after the game's first setup.
class EnterTheGame : public MenuFixture {
  protected:
    void SetUp() override {
        MenuFixture::SetUp();
        if (!std::filesystem::exists(std::string(TARVIX_DATA_DIR) + "/models/hero.mdl"))
            GTEST_SKIP() << "the generated models are not there yet";
        ASSERT_TRUE(Temp.Ready());
        Temp.LinkGameData(TARVIX_DATA_DIR);
        ASSERT_TRUE(OpenSilentSound());
        FirstStart = true, WindowedOption = true, ResolutionApplied = 0;
        ChangeDisplayMode(2);
        if (!WindowHandle) GTEST_SKIP() << "no window on this machine";
        ArenaTanks = 3, ArenaTurrets = 0, ArenaBonus = 0;
        NextMenuItem = 1, NewGameRequested = 1, GameState = 0;
        GameSetup();
        ASSERT_EQ(GameState, 1);
    }
    void TearDown() override {
        DestroyMainWindow(true);
        FirstStart = true, WindowedOption = false, ResolutionApplied = 0;
    }
    static int LivingTanks() {
        int Count = 0;
        for (const Actor_Rec& A : Actors)
            Count += A.Kind == KindTank && A.Energy > 0;
        return Count;
    }
    clsTempFolder Temp;
};

// Start, clicked through the shell's button handler, saves the arena and builds a new battle in
// the wanted mode in the same frame, with the volume truncated; Resume keeps the battle. Both
// land on page 1 without a fade.
TEST_F(EnterTheGame, StartBuildsANewBattleAndResumeKeepsIt) {
    MenuPage = PageCustomArena, PreviousMenuPage = 6;
    DetailLevel = 3, ResolutionWanted = 1, SoundVolume = 1, ArenaTanks = 4;
    ClickAt(50, 72); // "Start"
    EXPECT_EQ(MouseButton, 0);
    EXPECT_EQ(GameEntryRequest, GameEntry::None) << "the request is used up";
    EXPECT_EQ(GameState, 2);
    EXPECT_TRUE(GameInProgress);
    EXPECT_EQ(MenuPage, PageMain);
    EXPECT_EQ(PreviousMenuPage, 6);
    EXPECT_EQ(MenuTransition, 0.0);
    EXPECT_TRUE(ShowTrees);
    EXPECT_EQ(ResolutionApplied, 1);
    EXPECT_EQ(ScreenWidth, 640);
    EXPECT_EQ(LivingTanks(), 4);
    EXPECT_TRUE(std::filesystem::exists("lastarena.ini"));
    ALfloat Gain = -1;
    alGetListenerf(AL_GAIN, &Gain);
    EXPECT_FLOAT_EQ(Gain, 2.0f / 255.0f) << "1 % is 2.55, truncated";

    GameState = 1; // Escape
    Score = 77, Actors[0].X = 123;
    DetailLevel = 2, SoundVolume = 50, ResolutionWanted = 3, ArenaTanks = 1;
    ClickAt(45, 22); // "Resume Game"
    EXPECT_EQ(GameState, 2);
    EXPECT_EQ(Score, 77);
    EXPECT_EQ(Actors[0].X, 123);
    EXPECT_EQ(LivingTanks(), 4);
    EXPECT_FALSE(ShowTrees);
    EXPECT_EQ(ResolutionApplied, 3);
    alGetListenerf(AL_GAIN, &Gain);
    EXPECT_FLOAT_EQ(Gain, 127.0f / 255.0f);
}

// --- the mouse-button handler in the menu ---

TEST_F(MenuActions, AHeldPressActsOnceAndAPressOutsideWaitsForAnItem) {
    MenuPage = PageSound;
    SoundVolume = 50;
    PointAt(87, 32); // " + " of the volume
    MouseButton = 1;
    for (int Frame = 0; Frame < 5; ++Frame)
        ProcessMouseButtons();
    EXPECT_EQ(SoundVolume, 51);
    EXPECT_EQ(MouseButton, 0);
    PointAt(5, 5); // pressed over nothing: the press stays pending ...
    MouseButton = 1;
    ProcessMouseButtons();
    EXPECT_EQ(MouseButton, 1);
    PointAt(87, 37); // ... and acts on the first item reached, " - "
    ProcessMouseButtons();
    EXPECT_EQ(SoundVolume, 50);
    MouseButton = 2; // other buttons do nothing in the menu
    PointAt(87, 32);
    ProcessMouseButtons();
    EXPECT_EQ(SoundVolume, 50);
}

// --- name entry ---

// One frame of the key handler in the menu per case: a space, digits and upper-case letters are
// typed in that order and their keys used up, other keys stay down untyped; Backspace drops the
// last character; Return ends entry and drops what came with it; no name passes 20 characters.
TEST_F(NameEntry, TypesSpaceDigitsAndLettersUpToTwenty) {
    const struct {
        std::string          Before;
        std::vector<int32_t> Pressed;
        std::string          After;
        std::vector<int32_t> LeftDown; // keys not used up
        int32_t              EditMode; // after the frame
    } Cases[] = {
        {"", {'Z', '7', KeySpace, 'A'}, " 7AZ", {}, 1},
        {"ABCDEFGHIJKLMNOPQRS", {'T', 'U'}, "ABCDEFGHIJKLMNOPQRST", {}, 1},
        {"AB", {190, KeyLeft, 'a'}, "AB", {190, KeyLeft, 'a'}, 1}, // full stop, arrow, numpad 1
        {"AB", {KeyBackspace}, "A", {}, 1},
        {"", {KeyBackspace}, "", {KeyBackspace}, 1}, // nothing to drop: the key stays down
        {std::string(25, 'x'), {}, std::string(20, 'x'), {}, 1}, // a long name from the file
        {"AB", {'C', KeyReturn}, "AB", {KeyReturn}, 0},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Before);
        TextEditMode = 1;
        Actors[0].Name = C.Before;
        for (bool& Key : Keys)
            Key = false;
        for (int32_t Code : C.Pressed)
            Keys[Code] = true;
        ProcessGameKeys();
        EXPECT_EQ(Actors[0].Name, C.After);
        EXPECT_EQ(TextEditMode, C.EditMode);
        for (int32_t Code : C.Pressed)
            EXPECT_EQ(Keys[Code], std::count(C.LeftDown.begin(), C.LeftDown.end(), Code) == 1)
                << Code;
    }
    // Once Return has ended entry, letters are neither typed nor used up.
    Keys['D'] = true;
    ProcessGameKeys();
    EXPECT_EQ(Actors[0].Name, "AB");
    EXPECT_TRUE(Keys['D']);
}

} // namespace
