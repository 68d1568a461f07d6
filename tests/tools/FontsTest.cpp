// The font sheets: glyphs in the order of the fonts' character sets, light on black, the lowest
// twentieth of every cell dark, and, sampled the way the game samples them (nearest texel) at the
// sizes it draws them, every stroke on screen where the pixels allow and every letter and digit
// its own shape even at the log's smallest size.
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace {

std::string SmallSet() {
    std::string Set;
    for (int Code = 32; Code <= 126; ++Code)
        Set += Code == '[' ? '(' : (Code == ']' ? ')' : static_cast<char>(Code));
    return Set + "   ";
}

const std::string BigSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?!().,";

struct Sheet {
    const char* File;
    std::string Set;
    int         Columns, Rows;
    int         GridColumns, GridRows;   // design squares across a cell and down its shown part
};

const Sheet Small = {"font.jpg", SmallSet(), 14, 7, 6, 6};
const Sheet Big = {"big.jpg", BigSet, 6, 7, 6, 7};

DecodedImage Load(const Sheet& S) {
    DecodedImage I;
    std::string  Error;
    EXPECT_TRUE(ReadJpeg(DataDir() + "/fonts/" + S.File, I, Error)) << Error;
    return I;
}

bool PowerOfTwo(int N) { return N > 0 && (N & (N - 1)) == 0; }

// The texel under (U, V) of cell C, U and V from 0 to 1 across the whole cell from its top-left
// corner: what GL_NEAREST picks for that point. Its luma, and its centre in the same measure.
struct Texel {
    int    Luma;
    double U, V;
};

Texel TexelAt(const DecodedImage& I, const Sheet& S, int C, double U, double V) {
    const int X = std::min(static_cast<int>(std::floor((C % S.Columns + U) / S.Columns * I.Width)), I.Width - 1);
    const int Y = std::min(static_cast<int>(std::floor((C / S.Columns + V) / S.Rows * I.Height)), I.Height - 1);
    return {I.Luma(X, Y), (X + 0.5) * S.Columns / I.Width - C % S.Columns,
            (Y + 0.5) * S.Rows / I.Height - C / S.Columns};
}

// A character as the game puts it on screen: a quad W x H pixels whose left edge lies OffsetX
// pixels right of a pixel boundary and whose top lies on one, showing the top 95 % of the cell.
// Every pixel whose centre lies inside the quad samples the texel under it.
struct OnScreen {
    std::vector<bool> Lit;      // pixels, row by row
    std::set<int>     Squares;  // lit design squares that some pixel sampled
};

OnScreen Sample(const DecodedImage& I, const Sheet& S, int C, double W, double H, double OffsetX) {
    OnScreen Out;
    for (double Cy = 0.5; Cy < H; Cy += 1)
        for (double Cx = std::ceil(OffsetX - 0.5) + 0.5; Cx < OffsetX + W; Cx += 1) {
            const double U = (Cx - OffsetX) / W, V = Cy / H * 0.95;
            const Texel  T = TexelAt(I, S, C, U, V);
            Out.Lit.push_back(T.Luma > 128);
            if (T.Luma > 128)   // the square is the one the texel lies in
                Out.Squares.insert(static_cast<int>(T.V / 0.95 * S.GridRows) * S.GridColumns +
                                   static_cast<int>(T.U * S.GridColumns));
        }
    return Out;
}

// The lit design squares of a cell, read at the squares' centres.
std::set<int> DesignSquares(const DecodedImage& I, const Sheet& S, int C) {
    std::set<int> Lit;
    for (int Gy = 0; Gy < S.GridRows; ++Gy)
        for (int Gx = 0; Gx < S.GridColumns; ++Gx)
            if (TexelAt(I, S, C, (Gx + 0.5) / S.GridColumns, (Gy + 0.5) / S.GridRows * 0.95).Luma > 128)
                Lit.insert(Gy * S.GridColumns + Gx);
    return Lit;
}

// At this size no two of Chars look the same and, when EveryStroke, every lit square reaches the
// screen.
void ExpectLegible(const Sheet& S, const std::string& Chars, double W, double H, bool EveryStroke = true) {
    const DecodedImage I = Load(S);
    ASSERT_GT(I.Width, 0);
    for (double OffsetX : {0.0, 0.2, 0.4, 0.6, 0.8}) {
        SCOPED_TRACE("left edge " + std::to_string(OffsetX) + " pixel right of a boundary");
        std::map<std::vector<bool>, char> Seen;
        for (char Ch : Chars) {
            const int      C = static_cast<int>(S.Set.find(Ch));
            const OnScreen O = Sample(I, S, C, W, H, OffsetX);
            if (EveryStroke) {
                EXPECT_EQ(O.Squares, DesignSquares(I, S, C)) << "a stroke of '" << Ch << "' falls between pixels";
            }
            const auto [At, New] = Seen.emplace(O.Lit, Ch);
            EXPECT_TRUE(New) << "'" << Ch << "' looks like '" << At->second << "'";
        }
    }
}

} // namespace

TEST(Fonts, SheetsArePowersOfTwoEveryCharacterIsLitAndTheLowestTwentiethIsDark) {
    for (const Sheet& S : {Small, Big}) {
        SCOPED_TRACE(S.File);
        ASSERT_EQ(S.Set.size(), static_cast<size_t>(S.Columns * S.Rows));
        const DecodedImage I = Load(S);
        // The texture loader rescales other sizes, blurring every edge.
        EXPECT_TRUE(PowerOfTwo(I.Width) && PowerOfTwo(I.Height)) << I.Width << " x " << I.Height;
        const double CellW = double(I.Width) / S.Columns, CellH = double(I.Height) / S.Rows;
        for (size_t C = 0; C < S.Set.size(); ++C) {
            int Shown = 0, Hidden = 0;
            const int Left = static_cast<int>(std::ceil(C % S.Columns * CellW));
            const int Top = static_cast<int>(std::ceil(C / S.Columns * CellH));
            const int HiddenTop = static_cast<int>(std::ceil((C / S.Columns + 0.95) * CellH));
            const int Bottom = static_cast<int>(std::floor((C / S.Columns + 1) * CellH));
            for (int Y = Top; Y < Bottom; ++Y)
                for (int X = Left; X < static_cast<int>((C % S.Columns + 1) * CellW); ++X)
                    (Y >= HiddenTop ? Hidden : Shown) = std::max(Y >= HiddenTop ? Hidden : Shown, I.Luma(X, Y));
            if (S.Set[C] == ' ')
                EXPECT_LT(Shown, 40) << "space in cell " << C;
            else
                EXPECT_GT(Shown, 200) << "'" << S.Set[C] << "' in cell " << C;
            EXPECT_LT(Hidden, 40) << "lowest twentieth of cell " << C;
        }
    }
}

std::string LettersAndDigits() {
    std::string Chars;
    for (char C = '0'; C <= '9'; ++C) Chars += C;
    for (char C = 'A'; C <= 'Z'; ++C) Chars += C;
    for (char C = 'a'; C <= 'z'; ++C) Chars += C;
    return Chars;
}

TEST(Fonts, TheLogSizeAt800x600TellsEveryLetterAndDigitApart) {
    // Size 0.8 at 800x600: cells 6.4 x 4.8 pixels, the log's lines starting on whole pixels. Five
    // pixel rows for six rows of squares: one row is skipped, and the rest must still differ.
    ExpectLegible(Small, LettersAndDigits() + "?!:/().,'-+", 6.4, 4.8, false);
}

TEST(Fonts, TheSmallFontShowsEveryStrokeInTheHudAt640x480AndTheLogAt1280x1024) {
    // Size 1.4 at 640x480: cells 8.96 x 6.72 pixels; size 0.8 at 1280x1024: 10.24 x 8.19.
    ExpectLegible(Small, LettersAndDigits() + "?!:/().,'-+", 8.96, 6.72);
    ExpectLegible(Small, LettersAndDigits() + "?!:/().,'-+", 10.24, 8.192);
}

TEST(Fonts, TheBigFontsSmallestTextShowsEveryStrokeAndEveryCharacterApart) {
    // The help title, size 2.0 at 640x480: cells 12.8 x 9.6 pixels.
    ExpectLegible(Big, BigSet, 12.8, 9.6);
}

TEST(Fonts, BracketCellsHoldParenthesesAndPunctuationSitsWhereItBelongs) {
    const DecodedImage I = Load(Small);
    ASSERT_GT(I.Width, 0);
    const std::string& Set = Small.Set;
    EXPECT_EQ(DesignSquares(I, Small, '[' - 32), DesignSquares(I, Small, Set.find('(')));
    EXPECT_EQ(DesignSquares(I, Small, ']' - 32), DesignSquares(I, Small, Set.find(')')));
    // A full stop sits on the baseline, the fifth row of squares, an apostrophe in the top two.
    const std::set<int> Stop = DesignSquares(I, Small, Set.find('.'));
    const std::set<int> Apostrophe = DesignSquares(I, Small, Set.find('\''));
    ASSERT_FALSE(Stop.empty());
    ASSERT_FALSE(Apostrophe.empty());
    EXPECT_EQ(*Stop.begin() / Small.GridColumns, Small.GridRows - 2);
    EXPECT_EQ(*Stop.rbegin() / Small.GridColumns, Small.GridRows - 2);
    EXPECT_LE(*Apostrophe.rbegin() / Small.GridColumns, 1);
    // The sixth row belongs to the descenders: they reach into it, nothing else does.
    const std::string Descending = "gjpqy,;";
    for (size_t C = 0; C < Set.size(); ++C) {
        const std::set<int> Lit = DesignSquares(I, Small, static_cast<int>(C));
        const bool Below = !Lit.empty() && *Lit.rbegin() / Small.GridColumns == Small.GridRows - 1;
        const bool Descends = Descending.find(Set[C]) != std::string::npos;
        EXPECT_EQ(Below, Descends) << "'" << Set[C] << "'";
    }
    // The last column of squares is the gap to the next character in both fonts.
    for (const Sheet* S : {&Small, &Big}) {
        const DecodedImage Img = Load(*S);
        for (size_t C = 0; C < S->Set.size(); ++C)
            for (int Square : DesignSquares(Img, *S, static_cast<int>(C)))
                EXPECT_NE(Square % S->GridColumns, S->GridColumns - 1) << S->File << " '" << S->Set[C] << "'";
    }
}
