// Text a player can read: the real game under Xvfb at three resolutions, its menu pages and a
// battle photographed and read back by an OCR engine (tesseract), every string compared character
// for character (blanks aside) and every read printed.
//
// The reader is given the text's own pixels and nothing else: no list of allowed characters, no
// words to expect. The game draws each glyph as a design of coarse squares sampled with nearest
// texels (6 x 6 squares a cell for the small font, 6 x 7 for the big one), so the test knows where
// every square of every cell lands on screen: it looks at the pixel under each square's centre,
// keeps the squares of the text's colour, and draws them again at a size the reader likes, each
// square a point joined by strokes to the lit squares around it. A glyph the game draws wrongly,
// or a stroke that falls between pixels, comes out wrong in that picture as well.
#include "support/Xvfb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace {

using ColourTest = std::function<bool(const uint8_t*)>;

// Text blends over the scene with its own colour as the factor (GL_ONE_MINUS_SRC_COLOR): where a
// glyph's texel is lit, every channel the colour has in full is full on screen, whatever lies
// behind; only the channels the colour lacks keep some of the background.
bool White(const uint8_t* P) {
    return P[0] >= 245 && P[1] >= 245 && P[2] >= 245;
}
// Cyan (0, 1, 1) and the pink of the menu's values (1, 0.8, 1).
bool Cyan(const uint8_t* P) {
    return P[1] >= 245 && P[2] >= 245 && P[0] < P[1] - 60;
}
bool Pink(const uint8_t* P) {
    return P[0] >= 245 && P[2] >= 245 && P[1] >= 195 && P[1] < 245;
}

constexpr int DesignColumns = 6; // squares across a cell of either font, the last one the gap
constexpr int SmallRows = 6;     // squares down the shown part of a small-font cell
constexpr int BigRows = 7;       // ... and of a big-font cell

// One text on screen, placed as the game places it: PrintText's corner and the font's cell size.
struct TextSpot {
    std::string Expected; // compared with what is read, blanks removed from both
    double      X, Y;     // the text's top-left corner, percent of the window (y from the top)
    double      Size;     // the font's cell, percent of the window's width and of its height
    int         Rows;     // SmallRows or BigRows
    double      Right;    // nothing of this text lies right of here (percent): the next text
    ColourTest  Colour;
    bool        Pattern = false; // Expected is a regular expression (a changing number)
};

// The design squares of a text as the screen shows them, row by row across all its cells.
struct Squares {
    int                  Columns = 0, Rows = 0;
    std::vector<uint8_t> Lit;
    bool                 Empty() const { return Columns == 0; }
    bool                 At(int X, int Y) const;
    bool                 operator==(const Squares&) const = default;
};

bool Squares::At(int X, int Y) const {
    return X >= 0 && Y >= 0 && X < Columns && Y < Rows && Lit[size_t(Y) * Columns + X];
}

std::string WithoutBlanks(const std::string& Text) {
    std::string Out;
    for (char C : Text)
        if (!std::isspace(static_cast<unsigned char>(C))) Out += C;
    return Out;
}

// Looks at the pixel under the centre of every square of every cell up to the spot's right end;
// the squares end with the last cell that has a lit one. The nearest-texel sampling gives every
// pixel the colour of the square its centre lies in, and the pixel under a square's centre has its
// own centre within half a pixel of it, inside the square at the sizes the game uses.
Squares ReadSquares(const clsScreenshot& Shot, const clsXvfb& X, const TextSpot& S) {
    const int Cells = int(std::floor((S.Right - S.X) / S.Size + 1e-9));
    Squares   Out{Cells * DesignColumns, S.Rows,
                std::vector<uint8_t>(size_t(Cells) * DesignColumns * S.Rows)};
    int       LastLit = -1;
    for (int Column = 0; Column < Out.Columns; ++Column)
        for (int Row = 0; Row < S.Rows; ++Row) {
            const double Cx = (S.X + (Column + 0.5) / DesignColumns * S.Size) * X.WindowWidth / 100;
            const double Cy = (S.Y + (Row + 0.5) / S.Rows * S.Size) * X.WindowHeight / 100;
            const int    Px = X.WindowX + int(std::floor(Cx)), Py = X.WindowY + int(std::floor(Cy));
            if (Px < 0 || Py < 0 || Px >= Shot.Width || Py >= Shot.Height ||
                !S.Colour(Shot.At(Px, Py)))
                continue;
            Out.Lit[size_t(Row) * Out.Columns + Column] = 1;
            LastLit = Column;
        }
    if (LastLit < 0) return {};
    const int Kept = (LastLit / DesignColumns + 1) * DesignColumns;
    Squares   Trimmed{Kept, S.Rows, {}};
    for (int Row = 0; Row < S.Rows; ++Row)
        for (int Column = 0; Column < Kept; ++Column)
            Trimmed.Lit.push_back(Out.At(Column, Row));
    return Trimmed;
}

// Draws the squares for the reader as black strokes on white, one square SquareW x SquareH
// pixels: every lit square is a point, joined to its lit neighbours across, down and (where no
// square across or down already joins them) diagonally, so a stair of squares becomes a slanted
// stroke; a square with no lit neighbour, a full stop or a colon's dot, is a round dot nearly twice
// the stroke's width. Writes a PGM picture.
bool WriteOcrPicture(const Squares& Q, const std::string& Path) {
    constexpr double SquareW = 5, SquareH = 8; // pixels
    constexpr double HalfStroke = 0.3 * SquareH, DotRadius = 0.55 * SquareH;
    constexpr int    Margin = 20;
    const int W = int(Q.Columns * SquareW) + 2 * Margin, H = int(Q.Rows * SquareH) + 2 * Margin;
    std::vector<uint8_t> Ink(size_t(W) * H, 255);
    // Every pixel within Radius of the segment from square (Ax, Ay) to square (Bx, By) is inked.
    auto Stroke = [&](int Ax, int Ay, int Bx, int By, double Radius) {
        const double X0 = Margin + (Ax + 0.5) * SquareW, Y0 = Margin + (Ay + 0.5) * SquareH;
        const double Dx = (Bx - Ax) * SquareW, Dy = (By - Ay) * SquareH,
                     Length2 = Dx * Dx + Dy * Dy;
        for (int Y = int(std::min(Y0, Y0 + Dy) - Radius);
             Y <= int(std::max(Y0, Y0 + Dy) + Radius) + 1; ++Y)
            for (int X = int(std::min(X0, X0 + Dx) - Radius);
                 X <= int(std::max(X0, X0 + Dx) + Radius) + 1; ++X) {
                if (X < 0 || Y < 0 || X >= W || Y >= H) continue;
                const double Px = X + 0.5 - X0, Py = Y + 0.5 - Y0;
                const double T =
                    Length2 > 0 ? std::clamp((Px * Dx + Py * Dy) / Length2, 0.0, 1.0) : 0.0;
                const double Ex = Px - T * Dx, Ey = Py - T * Dy;
                if (Ex * Ex + Ey * Ey < Radius * Radius) Ink[size_t(Y) * W + X] = 0;
            }
    };
    for (int Y = 0; Y < Q.Rows; ++Y)
        for (int X = 0; X < Q.Columns; ++X) {
            if (!Q.At(X, Y)) continue;
            bool Alone = true;
            for (int Ny = Y - 1; Ny <= Y + 1; ++Ny)
                for (int Nx = X - 1; Nx <= X + 1; ++Nx)
                    Alone = Alone && ((Nx == X && Ny == Y) || !Q.At(Nx, Ny));
            if (Alone) Stroke(X, Y, X, Y, DotRadius);
            if (Q.At(X + 1, Y)) Stroke(X, Y, X + 1, Y, HalfStroke);
            if (Q.At(X, Y + 1)) Stroke(X, Y, X, Y + 1, HalfStroke);
            if (Q.At(X + 1, Y + 1) && !Q.At(X + 1, Y) && !Q.At(X, Y + 1))
                Stroke(X, Y, X + 1, Y + 1, HalfStroke);
            if (Q.At(X - 1, Y + 1) && !Q.At(X - 1, Y) && !Q.At(X, Y + 1))
                Stroke(X, Y, X - 1, Y + 1, HalfStroke);
        }
    std::ofstream Out(Path, std::ios::binary);
    Out << "P5\n" << W << " " << H << "\n255\n";
    Out.write(reinterpret_cast<const char*>(Ink.data()), std::streamsize(Ink.size()));
    return bool(Out);
}

// What tesseract reads in the picture, as one line of text.
std::string Ocr(const std::string& Picture) {
    std::string Text;
    if (FILE* P = popen(("tesseract '" + Picture + "' stdout --psm 7 2>/dev/null").c_str(), "r")) {
        char Buffer[512];
        while (std::fgets(Buffer, sizeof Buffer, P))
            Text += Buffer;
        pclose(P);
    }
    while (!Text.empty() && std::isspace(static_cast<unsigned char>(Text.back())))
        Text.pop_back();
    // The reader prints the typographic forms of quote marks; the game has only the plain ones.
    for (const auto& [Curly, Plain] : {std::pair<std::string, std::string>{"\u2018", "'"},
                                       {"\u2019", "'"},
                                       {"\u201C", "\""},
                                       {"\u201D", "\""}})
        for (size_t At; (At = Text.find(Curly)) != std::string::npos;)
            Text.replace(At, Curly.size(), Plain);
    return Text;
}

// The game window's part of a screenshot, for a person to look at after a failed read.
void WriteWindowPpm(const clsScreenshot& Shot, const clsXvfb& Game, const std::string& Path) {
    std::ofstream Out(Path, std::ios::binary);
    Out << "P6\n" << Game.WindowWidth << " " << Game.WindowHeight << "\n255\n";
    for (int Y = Game.WindowY; Y < Game.WindowY + Game.WindowHeight; ++Y)
        for (int X = Game.WindowX; X < Game.WindowX + Game.WindowWidth; ++X) {
            const bool    Inside = X >= 0 && Y >= 0 && X < Shot.Width && Y < Shot.Height;
            const uint8_t Black[3] = {0, 0, 0};
            Out.write(reinterpret_cast<const char*>(Inside ? Shot.At(X, Y) : Black), 3);
        }
}

bool TesseractInstalled() {
    return std::system("tesseract --version >/dev/null 2>&1") == 0;
}

class TextE2E : public GameFolderTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(TesseractInstalled()) << "tesseract is missing: run scripts/install-deps";
        GameFolderTest::SetUp();
        Pictures = std::string(TARVIX_BUILD_DIR) + "/ocr";
        std::filesystem::create_directories(Pictures);
    }

    void WriteFile(const std::string& Name, const std::string& Text) {
        std::ofstream(Folder + "/" + Name) << Text;
    }

    std::vector<Squares> ReadAllSquares(const clsXvfb& X, const clsScreenshot& Shot,
                                        const std::vector<TextSpot>& Spots) {
        std::vector<Squares> All;
        for (const TextSpot& S : Spots)
            All.push_back(ReadSquares(Shot, X, S));
        return All;
    }

    // Waits until every spot shows some text and three screenshots in a row, half a second apart
    // in all, show the same squares: a page fading in draws its text smaller from frame to frame,
    // even when a slow frame is photographed twice. Shot and All are the last screenshot and its
    // squares. EachTry, when given, runs before every screenshot (a key the player keeps pressing).
    bool WaitSteady(clsXvfb& X, const std::vector<TextSpot>& Spots, clsScreenshot& Shot,
                    std::vector<Squares>& All, double Timeout = 15,
                    const std::function<void()>& EachTry = {}) {
        X.MoveTo(98, 98); // the pointer off the captions: a hovered caption grows
        X.ReadGeometry();
        std::vector<Squares> Before;
        int                  Same = 0;
        for (const double End = Now() + Timeout; Now() < End; Before = All) {
            if (EachTry) EachTry();
            Pause(0.25);
            if (!X.ScreenshotPpm(Shot)) return false;
            All = ReadAllSquares(X, Shot, Spots);
            const bool Shown =
                std::none_of(All.begin(), All.end(), [](const Squares& Q) { return Q.Empty(); });
            Same = Shown && All == Before ? Same + 1 : 0;
            if (Same == 2) return true;
        }
        return false;
    }
    void WaitForPage(clsXvfb& X, const TextSpot& Title) {
        clsScreenshot        Shot;
        std::vector<Squares> All;
        ASSERT_TRUE(WaitSteady(X, {Title}, Shot, All))
            << "no steady page with the title " << Title.Expected;
    }
    void ReadSteady(clsXvfb& X, const std::string& Label, const std::vector<TextSpot>& Spots) {
        clsScreenshot        Shot;
        std::vector<Squares> All;
        EXPECT_TRUE(WaitSteady(X, Spots, Shot, All))
            << Label << ": the text did not settle within 15 s";
        if (All.size() == Spots.size()) ReadSquaresOf(X, Shot, Label, Spots, All);
    }

    void ReadSquaresOf(const clsXvfb& X, const clsScreenshot& Shot, const std::string& Label,
                       const std::vector<TextSpot>& Spots, const std::vector<Squares>& All) {
        WriteWindowPpm(Shot, X, Pictures + "/" + Label + ".ppm");
        for (size_t I = 0; I < Spots.size(); ++I) {
            const TextSpot&   S = Spots[I];
            const std::string Picture = Pictures + "/" + Label + "-" + std::to_string(I) + ".pgm";
            ++Tried;
            std::string Read;
            if (!All[I].Empty() && WriteOcrPicture(All[I], Picture)) Read = Ocr(Picture);
            const bool Right = S.Pattern
                                   ? std::regex_match(WithoutBlanks(Read), std::regex(S.Expected))
                                   : WithoutBlanks(Read) == WithoutBlanks(S.Expected);
            ReadRight += Right;
            std::printf("%s %s: expected \"%s\", read \"%s\" (%s)\n", Right ? "right" : "WRONG",
                        Label.c_str(), S.Expected.c_str(), Read.c_str(), Picture.c_str());
            EXPECT_TRUE(Right) << Label << ": \"" << S.Expected << "\" read as \"" << Read << "\"";
        }
    }

    void Report(const std::string& Resolution) {
        std::printf("OCR at %s: %d read right / %d tried\n", Resolution.c_str(), ReadRight, Tried);
        RecordProperty("ocr_" + Resolution,
                       std::to_string(ReadRight) + "/" + std::to_string(Tried));
    }

    std::string Pictures;
    int         ReadRight = 0, Tried = 0;
};

// A menu button's caption: the menu prints it one unit right of and below the button's corner,
// in the small font at size 2, and it ends inside the button.
TextSpot Caption(const std::string& Text, double X, double Y, double Width) {
    return {Text, X + 1, Y + 1, 2.0, SmallRows, X + Width, White};
}
// A page title: the big font at size 5 where the menu table puts it.
TextSpot Title(const std::string& Text, double X) {
    return {Text, X, 2, 5.0, BigRows, 100, White};
}
// A value label: the small font at size 2, three units right of and above the label's place.
TextSpot Value(const std::string& Text, double X, double Y, double Right) {
    return {Text, X + 3, Y - 3, 2.0, SmallRows, Right, Pink};
}
// A heads-up line at the left edge, small font at size 1.4.
TextSpot HudLine(const std::string& Text, double Y, double Right, ColourTest Colour,
                 bool Pattern = false) {
    return {Text, 0, Y, 1.4, SmallRows, Right, std::move(Colour), Pattern};
}

} // namespace

struct Resolution {
    int         Number; // the Graphics section's Resolution
    const char* Name;
};
void PrintTo(const Resolution& R, std::ostream* Out) {
    *Out << R.Name;
}

class TextE2EAt : public TextE2E, public ::testing::WithParamInterface<Resolution> {
  public:
    void Run() {
        const auto [Number, Name] = GetParam();
        const std::string At = Name;
        WriteFile("default.ini", "[Graphics]\nResolution=" + std::to_string(Number) + "\n");
        // A quiet arena: nothing fights the player, so energy and score stay as they start until
        // the player's own shots come back off a wall. 30 keeps the energy line in its steady
        // cyan (below 25 it flickers red) and is less than two shots' power.
        WriteFile("lastarena.ini",
                  "[LastArena]\nTanks=0\nTurrets=0\nBonus=0\nMaxShots=3\nEnergy=30\nRespawn=0\n");
        clsXvfb X;
        START_WINDOWED_GAME(X, Folder);
        ReadSteady(X, At + "-main",
                   {Title("MAIN MENU", 20), Caption("Single Player", 30, 30, 30),
                    Caption("Multiplayer", 30, 35, 30), Caption("Settings", 30, 40, 30),
                    Caption("Quit", 30, 50, 30)});
        X.Press(45, 42.5, 0); // Settings
        ReadSteady(X, At + "-settings",
                   {Title("SETTINGS", 20), Caption("Graphics", 30, 30, 30),
                    Caption("Sound", 30, 35, 30), Caption("Other", 30, 40, 30),
                    Caption("Player", 30, 45, 30), Caption("Save", 30, 50, 15),
                    Caption("Load", 45, 50, 15), Caption("Back", 30, 60, 30)});
        X.Press(45, 32.5, 0); // Graphics
        // "GRAPHICS SETTINGS" would run past the right edge from 20: it ends at the edge instead.
        // The value labels end before the column of + and - buttons at 85.
        ReadSteady(X, At + "-graphics",
                   {Title("GRAPHICS SETTINGS", 15), Value("Medium Detail", 20, 25, 85),
                    Value("Resolution: " + At, 20, 45, 85),
                    Value("Anisotropic Filtering: OFF", 20, 55, 85), Caption("Back", 30, 60, 30)});
        X.Press(45, 62.5, 0); // Back
        WaitForPage(X, Title("SETTINGS", 20));
        X.Press(45, 62.5, 0); // Back
        WaitForPage(X, Title("MAIN MENU", 20));
        X.Press(45, 32.5, 0); // Single Player
        WaitForPage(X, Title("SINGLE PLAYER", 20));
        X.Press(50, 32.5, 0); // Custom Arena
        ReadSteady(X, At + "-arena",
                   {Title("CUSTOM ARENA", 20), Value("Enemy Tanks:0", 40, 20, 100),
                    Value("Enemy Turrets:0", 40, 30, 100), Value("Bonus Items:0", 40, 40, 100),
                    Value("Energy:30", 40, 50, 100), Value("Max Shots:3", 40, 60, 100),
                    Caption("Enemy Respawn", 30, 65, 40)});
        X.Press(50, 72.5, 0); // Start
        ReadSteady(X, At + "-battle",
                   {HudLine("Use the arrow keys to move and 'a' to shoot.Toggles:", 8, 80, White),
                    HudLine("'t' - Trees,'p' - Particles, 'c' - Camera,'f' - FPS", 10, 80, White),
                    HudLine("'o' - cOmpass,'r' - Radar,'h' - Help,'s' - croSshairs", 12, 80, White),
                    HudLine("Energy:30  Score:0", 16, 40, Cyan)});
        ReadReloadLine(X, At);
        ReadGameOver(X, At);
        Report(At);
        X.StopApp();
    }

    // The reload line shows for 0.4 s after a shot while its count runs down from the reload time
    // of 20: any count from 20 to 0 is right. Pictures are taken until one holds the line.
    void ReadReloadLine(clsXvfb& X, const std::string& At) {
        const TextSpot Reload = HudLine("RELOADING\\.\\.\\.([0-9]|1[0-9]|20)", 22, 40, White, true);
        clsScreenshot  Shot;
        Squares        Seen;
        X.KeyDown("a");
        for (const double End = Now() + 5; Seen.Empty() && Now() < End;) {
            ASSERT_TRUE(X.ScreenshotPpm(Shot));
            Seen = ReadSquares(Shot, X, Reload);
        }
        X.KeyUp("a");
        ASSERT_FALSE(Seen.Empty()) << "no reload line after firing";
        ReadSquaresOf(X, Shot, At + "-reload", {Reload}, {Seen});
    }

    // The player starts facing the arena's wall at -Z, too far for a shot to come back (a shot
    // flies about 290 units). Driving straight ahead keeps the heading exactly 0 until the wall
    // stops the tank; from about 300 units on, every shot fired comes straight back off the wall
    // into the tank, and the second hit ends the game. Up stays held and 'a' is tapped until the
    // big "GAME OVER" is on screen.
    void ReadGameOver(clsXvfb& X, const std::string& At) {
        const TextSpot       GameOver = {"GAME OVER", 5, 30, 10.0, BigRows, 100, White};
        clsScreenshot        Shot;
        std::vector<Squares> All;
        const double         Start = Now();
        X.KeyDown("Up");
        // Over once the text there holds still: a passing explosion does not.
        const bool Over = WaitSteady(X, {GameOver}, Shot, All, 60, [&] { X.SendKey("a"); });
        X.KeyUp("Up");
        ASSERT_TRUE(Over) << "the game did not end within 60 s";
        std::printf("%s: game over after %.1f s of driving and firing\n", At.c_str(),
                    Now() - Start);
        ReadSquaresOf(X, Shot, At + "-gameover", {GameOver}, All);
    }
};

TEST_P(TextE2EAt, MenusAndBattleReadBack) {
    Run();
}

INSTANTIATE_TEST_SUITE_P(Resolutions, TextE2EAt,
                         ::testing::Values(Resolution{1, "640x480"}, Resolution{2, "800x600"},
                                           Resolution{3, "1024x768"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// The event log's text is too small to read below 1280x1024 (its cells are 8 pixels high there).
// The newest line after a battle's setup is "Generating terrain..." in white, behind its time
// stamp, at the foot of the log window: line 18 of the window at (24, 75.5), size 0.8, from x 25.
TEST_F(TextE2E, ALogLineWithItsTimeStampReadsBackAt1280x1024) {
    WriteFile("default.ini", "[Graphics]\nResolution=4\n");
    WriteFile("lastarena.ini",
              "[LastArena]\nTanks=0\nTurrets=0\nBonus=0\nMaxShots=3\nEnergy=750\nRespawn=0\n");
    clsXvfb X;
    START_WINDOWED_GAME(X, Folder);
    WaitForPage(X, Title("MAIN MENU", 20));
    X.Press(45, 32.5, 0); // Single Player
    WaitForPage(X, Title("SINGLE PLAYER", 20));
    X.Press(50, 32.5, 0); // Custom Arena
    WaitForPage(X, Title("CUSTOM ARENA", 20));
    const std::time_t Before = std::time(nullptr);
    X.Press(50, 72.5, 0); // Start
    // Any stamp the game could have written between the click and a few seconds later, in its
    // own format.
    std::setlocale(LC_TIME, ""); // the game writes its stamps in the user's own format
    std::string Stamps;
    for (std::time_t T = Before - 2; T <= Before + 20; ++T) {
        std::tm Local{};
        localtime_r(&T, &Local);
        char Text[64];
        std::strftime(Text, sizeof Text, "%x %X", &Local);
        Stamps += (Stamps.empty() ? "" : "|") +
                  std::regex_replace(WithoutBlanks(Text), std::regex("[/.:]"), "\\$&");
    }
    ReadSteady(X, "1280x1024-log",
               {{"(" + Stamps + "):Generatingterrain\\.\\.\\.", 25, 94.5, 0.8, SmallRows, 99, White,
                 true}});
    Report("1280x1024");
    X.StopApp();
}
