// Text a player can read: the real game under Xvfb at three resolutions, its menu pages and a
// battle photographed and read back by an OCR engine (tesseract). Each string is compared character
// for character, blanks aside, and the figures (read right / tried) are printed and recorded. The
// big-font titles must always read back, and at each resolution at least as many strings as the
// sheets have been seen to reach in repeated runs. The reader gets
// the text's colour isolated, the region cropped and scaled, and nothing else: no list of allowed
// characters, no words to expect.
#include "support/Xvfb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using ColourTest = std::function<bool(const uint8_t*)>;

bool White(const uint8_t* P) { return P[0] > 200 && P[1] > 200 && P[2] > 200; }
// Text blends over the scene by its own colour: a cyan text keeps the red of what lies behind it.
bool Cyan(const uint8_t* P) { return P[1] > 200 && P[2] > 200 && P[0] < P[1] - 80; }
bool Pink(const uint8_t* P) { return P[0] > 200 && P[1] > 160 && P[1] < 230 && P[2] > 200; } // (1, 0.8, 1)

// One piece of text on screen: where to look (percent of the window, y from the top), its colour,
// the font's cell size in overlay units and how many squares tall its design is.
struct TextSpot {
    std::string Expected;   // compared with what is read, blanks removed from both
    double      X0, Y0, X1, Y1;
    ColourTest  Colour;
    double      Size;
    int         DesignRows;   // 6 for the small font, 7 for the big one
    bool        Pattern = false;   // Expected is a regular expression (a changing number)
};

std::string WithoutBlanks(const std::string& Text) {
    std::string Out;
    for (char C : Text)
        if (!std::isspace(static_cast<unsigned char>(C))) Out += C;
    return Out;
}

// Cuts out the text's colour as black on white, tightly cropped, scaled so that one design square
// is about twelve pixels tall and a little narrower than tall (the game stretches text to the
// screen's shape), smoothed into rounded strokes, and writes it as a PGM picture.
bool WriteOcrPicture(const clsScreenshot& Shot, int OriginX, int OriginY, int WinW, int WinH, const TextSpot& S,
                     const std::string& Path) {
    const int Left = OriginX + int(S.X0 * WinW / 100), Right = OriginX + int(std::ceil(S.X1 * WinW / 100));
    const int Top = OriginY + int(S.Y0 * WinH / 100), Bottom = OriginY + int(std::ceil(S.Y1 * WinH / 100));
    int MinX = Right, MaxX = -1, MinY = Bottom, MaxY = -1;
    for (int Y = std::max(Top, 0); Y < std::min(Bottom, Shot.Height); ++Y)
        for (int X = std::max(Left, 0); X < std::min(Right, Shot.Width); ++X)
            if (S.Colour(Shot.At(X, Y))) {
                MinX = std::min(MinX, X), MaxX = std::max(MaxX, X);
                MinY = std::min(MinY, Y), MaxY = std::max(MaxY, Y);
            }
    if (MaxX < 0) return false;
    const double CellW = S.Size * WinW / 100, CellH = S.Size * WinH / 100;
    const double Row = 12.0;   // output pixels per design square, vertically
    const double ScaleY = Row * S.DesignRows / CellH, ScaleX = (S.DesignRows == 7 ? 0.72 : 0.7) * Row * S.DesignRows / CellW;
    const int    Margin = 40;
    const int    W = int((MaxX - MinX + 1) * ScaleX) + 2 * Margin, H = int((MaxY - MinY + 1) * ScaleY) + 2 * Margin;
    std::vector<float> Ink(size_t(W) * H, 0.0f), Tmp(Ink.size());
    for (int Y = Margin; Y < H - Margin; ++Y)
        for (int X = Margin; X < W - Margin; ++X)
            Ink[size_t(Y) * W + X] = S.Colour(Shot.At(MinX + int((X - Margin) / ScaleX), MinY + int((Y - Margin) / ScaleY)));
    // Two box blurs of seven pixels round the squares' corners into strokes; the threshold keeps
    // thin strokes, which the blur spreads and lowers.
    const int R = 3;
    for (int Pass = 0; Pass < 2; ++Pass) {
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                float Sum = 0;
                for (int D = -R; D <= R; ++D) Sum += Ink[size_t(Y) * W + std::clamp(X + D, 0, W - 1)];
                Tmp[size_t(Y) * W + X] = Sum / (2 * R + 1);
            }
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                float Sum = 0;
                for (int D = -R; D <= R; ++D) Sum += Tmp[size_t(std::clamp(Y + D, 0, H - 1)) * W + X];
                Ink[size_t(Y) * W + X] = Sum / (2 * R + 1);
            }
    }
    std::ofstream Out(Path, std::ios::binary);
    Out << "P5\n" << W << " " << H << "\n255\n";
    for (float V : Ink) Out.put(static_cast<char>(V > 0.4f ? 0 : 255));
    return bool(Out);
}

// What tesseract reads in the picture, as one line of text.
std::string Ocr(const std::string& Picture) {
    std::string Text;
    if (FILE* P = popen(("tesseract '" + Picture + "' stdout --psm 7 2>/dev/null").c_str(), "r")) {
        char Buffer[512];
        while (std::fgets(Buffer, sizeof Buffer, P)) Text += Buffer;
        pclose(P);
    }
    while (!Text.empty() && std::isspace(static_cast<unsigned char>(Text.back()))) Text.pop_back();
    // The reader prints the typographic forms of quote marks; the game has only the plain ones.
    for (const auto& [Curly, Plain] : {std::pair<std::string, std::string>{"\u2018", "'"}, {"\u2019", "'"},
                                       {"\u201C", "\""}, {"\u201D", "\""}})
        for (size_t At; (At = Text.find(Curly)) != std::string::npos;) Text.replace(At, Curly.size(), Plain);
    return Text;
}

bool TesseractInstalled() { return std::system("tesseract --version >/dev/null 2>&1") == 0; }

class TextE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(TesseractInstalled()) << "tesseract is missing: run scripts/install-deps";
        Folder = clsXvfb::MakeGameFolder();
        Pictures = std::string(TARVIX_BUILD_DIR) + "/ocr";
        std::system(("mkdir -p '" + Pictures + "'").c_str());
    }
    void TearDown() override {
        if (!Folder.empty()) std::system(("rm -rf '" + Folder + "'").c_str());
    }

    void WriteFile(const std::string& Name, const std::string& Text) {
        std::ofstream(Folder + "/" + Name) << Text;
    }

    // Moves the pointer out of the way of the text and reads every spot from one screenshot.
    void ReadAll(clsXvfb& X, const std::string& Label, const std::vector<TextSpot>& Spots) {
        X.MoveTo(98, 98);
        Pause(0.5);
        // A picture can catch the screen mid-change on a busy machine (a log line scrolling in):
        // pictures are taken until two in a row agree on the text-coloured pixels of every spot.
        const auto    Origin = WindowOrigin(X);
        clsScreenshot Shot, Before;
        ASSERT_TRUE(X.ScreenshotPpm(Shot));
        for (int Attempt = 0; Attempt < 10 && TextPixels(X, Origin, Shot, Spots) != TextPixels(X, Origin, Before, Spots); ++Attempt) {
            Before = Shot;
            ASSERT_TRUE(X.ScreenshotPpm(Shot));
        }
        X.Screenshot(Pictures + "/" + Label + ".png");
        ReadShot(X, Shot, Label, Spots);
    }

    // Where the game window's top left corner lies on the screen.
    static std::pair<int, int> WindowOrigin(clsXvfb& X) {
        int OriginX = 0, OriginY = 0;
        std::string Geometry;
        X.Run("xdotool getwindowgeometry --shell " + X.WindowId, &Geometry);
        if (const size_t At = Geometry.find("X="); At != std::string::npos) OriginX = std::atoi(Geometry.c_str() + At + 2);
        if (const size_t At = Geometry.find("Y="); At != std::string::npos) OriginY = std::atoi(Geometry.c_str() + At + 2);
        return {OriginX, OriginY};
    }

    // The pixels of every spot that have its text's colour (empty for an empty picture).
    static std::vector<bool> TextPixels(const clsXvfb& X, std::pair<int, int> Origin, const clsScreenshot& Shot,
                                        const std::vector<TextSpot>& Spots) {
        std::vector<bool> Lit;
        if (Shot.Rgb.empty()) return Lit;
        const auto [OriginX, OriginY] = Origin;
        for (const TextSpot& S : Spots)
            for (int Y = OriginY + int(S.Y0 * X.WindowHeight / 100); Y < OriginY + int(S.Y1 * X.WindowHeight / 100); ++Y)
                for (int Px = OriginX + int(S.X0 * X.WindowWidth / 100); Px < OriginX + int(S.X1 * X.WindowWidth / 100); ++Px)
                    Lit.push_back(Y >= 0 && Y < Shot.Height && Px >= 0 && Px < Shot.Width && S.Colour(Shot.At(Px, Y)));
        return Lit;
    }

    void ReadShot(clsXvfb& X, const clsScreenshot& Shot, const std::string& Label, const std::vector<TextSpot>& Spots) {
        const auto [OriginX, OriginY] = WindowOrigin(X);
        for (const TextSpot& S : Spots) {
            const std::string Picture = Pictures + "/" + Label + "-" + std::to_string(Tried) + ".pgm";
            ++Tried;
            std::string Read;
            if (WriteOcrPicture(Shot, OriginX, OriginY, X.WindowWidth, X.WindowHeight, S, Picture)) Read = Ocr(Picture);
            const bool Right = S.Pattern ? std::regex_match(WithoutBlanks(Read), std::regex(S.Expected))
                                         : WithoutBlanks(Read) == WithoutBlanks(S.Expected);
            ReadRight += Right;
            LastRead = Read;
            std::printf("%s %s: expected \"%s\", read \"%s\" (%s)\n", Right ? "right" : "WRONG", Label.c_str(),
                        S.Expected.c_str(), Read.c_str(), Picture.c_str());
            if (S.DesignRows == 7) {
                EXPECT_TRUE(Right) << Label << ": title \"" << S.Expected << "\" read as \"" << Read << "\"";
            }
        }
    }

    // Prints the figure and holds it to the least the sheets have reached at this resolution, so a
    // glyph redesign that costs even one string fails.
    void Report(const std::string& Resolution, int Minimum) {
        std::printf("OCR at %s: %d read right / %d tried\n", Resolution.c_str(), ReadRight, Tried);
        RecordProperty("ocr_" + Resolution, std::to_string(ReadRight) + "/" + std::to_string(Tried));
        EXPECT_GE(ReadRight, Minimum) << "too few strings read right at " << Resolution;
    }

    std::string Folder, Pictures;
    int         ReadRight = 0, Tried = 0;
    std::string LastRead;   // what the reader made of the last spot
};

// Small-font and big-font spots of a menu caption at the table's place.
TextSpot Caption(const std::string& Text, double X, double Y, double Width) {
    return {Text, X + 0.5, Y + 0.5, X + 1 + Width, Y + 3.5, White, 2.0, 6};
}
TextSpot Title(const std::string& Text) { return {Text, 10, 1.5, 100, 7.5, White, 5.0, 7}; }
TextSpot Value(const std::string& Text, double X, double Y) {
    return {Text, X + 2.5, Y - 3.5, X + 3.5 + 2.0 * Text.size(), Y - 0.5, Pink, 2.0, 6};
}


} // namespace

struct Resolution {
    int         Number;    // the Graphics section's Resolution
    const char* Name;
    int         Minimum;   // strings that always read right here
};

class TextE2EAt : public TextE2E, public ::testing::WithParamInterface<Resolution> {
  public:
    void Run() {
        const auto [Number, Name, Minimum] = GetParam();
        WriteFile("default.ini", "[Graphics]\nResolution=" + std::to_string(Number) + "\n");
        // A quiet arena: nothing fights the player, so energy and score stay as they start until
        // the player's own shots come back off a wall. 30 is just enough for the energy line to
        // keep its steady colour (below 25 it flickers red) and less than two shots' power: the
        // second shot that comes back ends the game.
        WriteFile("lastarena.ini", "[LastArena]\nTanks=0\nTurrets=0\nBonus=0\nMaxShots=3\nEnergy=30\nRespawn=0\n");
        clsXvfb X;
        START_WINDOWED_GAME(X, Folder);
        Pause(1.0);
        ReadAll(X, std::string(Name) + "-main", {Title("MAIN MENU"), Caption("Single Player", 30, 30, 30),
                                                 Caption("Multiplayer", 30, 35, 30), Caption("Settings", 30, 40, 30),
                                                 Caption("Quit", 30, 50, 30)});
        X.Press(45, 42.5, 1.2); // Settings
        ReadAll(X, std::string(Name) + "-settings",
                {Title("SETTINGS"), Caption("Graphics", 30, 30, 30), Caption("Sound", 30, 35, 30),
                 Caption("Other", 30, 40, 30), Caption("Player", 30, 45, 30), Caption("Save", 30, 50, 15),
                 Caption("Load", 45, 50, 15), Caption("Back", 30, 60, 30)});
        X.Press(45, 32.5, 1.2); // Graphics
        ReadAll(X, std::string(Name) + "-graphics",
                {Title("GRAPHICS SETTINGS"), Value("Medium Detail", 20, 25),
                 Value(std::string("Resolution: ") + Name, 20, 45), Value("Anisotropic Filtering: OFF", 20, 55),
                 Caption("Back", 30, 60, 30)});
        X.Press(45, 62.5, 1.2); // Back
        X.Press(45, 62.5, 1.2); // Back
        X.Press(45, 32.5, 1.2); // Single Player
        X.Press(50, 32.5, 1.2); // Custom Arena
        ReadAll(X, std::string(Name) + "-arena",
                {Title("CUSTOM ARENA"), Value("Enemy Tanks:0", 40, 20), Value("Enemy Turrets:0", 40, 30),
                 Value("Bonus Items:0", 40, 40), Value("Energy:30", 40, 50), Value("Max Shots:3", 40, 60),
                 Caption("Enemy Respawn", 30, 65, 40)});
        X.Press(50, 72.5, 1.2); // Start
        Pause(3.0);
        ReadAll(X, std::string(Name) + "-battle",
                {{"Use the arrow keys to move and 'a' to shoot.Toggles:", 0, 8, 75, 9.8, White, 1.4, 6},
                 {"'t' - Trees,'p' - Particles, 'c' - Camera,'f' - FPS", 0, 10, 75, 11.8, White, 1.4, 6},
                 {"'o' - cOmpass,'r' - Radar,'h' - Help,'s' - croSshairs", 0, 12, 75, 13.8, White, 1.4, 6},
                 {"Energy:30  Score:0", 0, 16, 40, 17.8, Cyan, 1.4, 6}});
        // The reload line shows for 0.4 s after a shot, and its count runs down meanwhile: any whole
        // number is right. Pictures are taken until one holds the line.
        const TextSpot Reload = {"RELOADING\\.\\.\\.[0-9]+", 0, 22, 40, 23.8, White, 1.4, 6, true};
        clsScreenshot  Shot;
        bool           Seen = false;
        X.KeyDown("a");
        for (int Attempt = 0; Attempt < 20 && !Seen; ++Attempt) {
            ASSERT_TRUE(X.ScreenshotPpm(Shot));
            int Lit = 0;
            for (int Y = int(22.2 * X.WindowHeight / 100); Y < int(23.4 * X.WindowHeight / 100); ++Y)
                for (int Px = 0; Px < X.WindowWidth / 5; ++Px) Lit += White(Shot.At(Px, Y));
            Seen = Lit > X.WindowWidth / 20;
        }
        X.KeyUp("a");
        EXPECT_TRUE(Seen) << "no reload line after firing";
        ReadShot(X, Shot, std::string(Name) + "-reload", {Reload});
        Report(Name, Minimum);
        X.StopApp();
    }
};

TEST_P(TextE2EAt, MenusAndBattleReadBack) { Run(); }

INSTANTIATE_TEST_SUITE_P(Resolutions, TextE2EAt,
                         // Seen over repeated runs: 19-20, 24-25 and 24 of 30; three strings of
                         // slack, as a screenshot can catch a frame mid-change on a busy machine.
                         ::testing::Values(Resolution{1, "640x480", 16}, Resolution{2, "800x600", 21},
                                           Resolution{3, "1024x768", 21}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// The event log's text is too small to read below 1280x1024 (its cells are 8 pixels high there).
// The newest line after a battle's setup is "Generating terrain..." in white, behind its time stamp.
TEST_F(TextE2E, ALogLineWithItsTimeStampReadsBackAt1280x1024) {
    WriteFile("default.ini", "[Graphics]\nResolution=4\n");
    WriteFile("lastarena.ini", "[LastArena]\nTanks=0\nTurrets=0\nBonus=0\nMaxShots=3\nEnergy=750\nRespawn=0\n");
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    Pause(1.0);
    X.Press(45, 32.5, 1.2); // Single Player
    X.Press(50, 32.5, 1.2); // Custom Arena
    const std::time_t Before = std::time(nullptr);
    X.Press(50, 72.5, 1.2); // Start
    Pause(2.0);
    const std::time_t After = std::time(nullptr);
    // Any stamp the game could have written between the click and now, in its own format.
    std::string Stamps;
    for (std::time_t T = Before - 2; T <= After + 1; ++T) {
        std::tm Local{};
        localtime_r(&T, &Local);
        char Text[64];
        std::strftime(Text, sizeof Text, "%x %X", &Local);
        Stamps += (Stamps.empty() ? "" : "|") + std::regex_replace(WithoutBlanks(Text), std::regex("[/.:]"), "\\$&");
    }
    // Log window at (24, 75.5): its 18th line at y 94.5, size 0.8, from x 25. The crop starts a
    // pixel below the line's top, where the line above ends in its descenders.
    ReadAll(X, "1280x1024-log", {{"(" + Stamps + "):Generatingterrain\\.\\.\\.", 24.5, 94.6, 75, 95.5, White, 0.8, 6, true}});
    Report("1280x1024", 0.0);
    // The date must read right ('0', '6' and '8' not taken for one another) and the line must end
    // in its last word. At 1.3 screen pixels a design row the colons of the time and the G of
    // "Generating" are not read reliably, so they count only in the figure above.
    char Date[32];
    std::tm Local{};
    localtime_r(&After, &Local);
    std::strftime(Date, sizeof Date, "%x", &Local);
    const std::string Plain = WithoutBlanks(LastRead);
    EXPECT_EQ(Plain.rfind(Date, 0), 0u) << "read \"" << LastRead << "\"";
    EXPECT_TRUE(Plain.size() >= 10 && Plain.compare(Plain.size() - 10, 10, "terrain...") == 0)
        << "read \"" << LastRead << "\"";
    X.StopApp();
}
