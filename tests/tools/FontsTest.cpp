// The font sheets: a grid of equal cells in the order of the fonts' character sets, light glyphs on
// black, and the lowest twentieth of every cell empty because the game never shows it.
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

std::string SmallSet() {
    std::string Set;
    for (int Code = 32; Code <= 126; ++Code)
        Set += Code == '[' ? '(' : (Code == ']' ? ')' : static_cast<char>(Code));
    return Set + "   ";
}

struct Sheet {
    const char* File;
    std::string Set;
    int         Columns, Rows;
};

struct CellLight {
    int Brightest = 0;         // in the shown part
    int BrightestHidden = 0;   // in the lowest twentieth
};

CellLight Measure(const DecodedImage& I, int Left, int Top, int W, int H) {
    CellLight L;
    const int Hidden = H - (H + 19) / 20;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            int& Into = Y >= Hidden ? L.BrightestHidden : L.Brightest;
            Into = std::max(Into, I.Luma(Left + X, Top + Y));
        }
    return L;
}

double CellDifference(const DecodedImage& I, int CellA, int CellB, int Columns, int W, int H) {
    long Sum = 0;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            Sum += std::abs(I.Luma(CellA % Columns * W + X, CellA / Columns * H + Y) -
                            I.Luma(CellB % Columns * W + X, CellB / Columns * H + Y));
    return double(Sum) / (W * H);
}

const Sheet Sheets[] = {{"font.jpg", SmallSet(), 14, 7},
                        {"big.jpg", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?!().,", 6, 7}};

} // namespace

TEST(Fonts, EveryVisibleCharacterIsLitAndTheLowestTwentiethOfEveryCellIsDark) {
    for (const Sheet& S : Sheets) {
        SCOPED_TRACE(S.File);
        ASSERT_EQ(S.Set.size(), static_cast<size_t>(S.Columns * S.Rows));
        DecodedImage I;
        std::string  Error;
        ASSERT_TRUE(ReadJpeg(DataDir() + "/fonts/" + S.File, I, Error)) << Error;
        ASSERT_EQ(I.Width % S.Columns, 0);
        ASSERT_EQ(I.Height % S.Rows, 0);
        const int W = I.Width / S.Columns, H = I.Height / S.Rows;
        EXPECT_GE(H, 32) << "cells large enough for text at 10 % of the screen";
        for (size_t C = 0; C < S.Set.size(); ++C) {
            const CellLight L = Measure(I, C % S.Columns * W, C / S.Columns * H, W, H);
            if (S.Set[C] == ' ')
                EXPECT_LT(L.Brightest, 40) << "space in cell " << C;
            else
                EXPECT_GT(L.Brightest, 160) << "'" << S.Set[C] << "' in cell " << C;
            EXPECT_LT(L.BrightestHidden, 40) << "lowest twentieth of cell " << C;
        }
    }
}

TEST(Fonts, CellsHoldTheCharactersOfTheSetInOrder) {
    DecodedImage I;
    std::string  Error;
    ASSERT_TRUE(ReadJpeg(DataDir() + "/fonts/font.jpg", I, Error)) << Error;
    const int W = I.Width / 14, H = I.Height / 7;
    const std::string Set = SmallSet();
    // The bracket cells hold the parentheses, so they look like the parentheses' own cells.
    EXPECT_LT(CellDifference(I, Set.find('('), 59, 14, W, H), 3.0);
    EXPECT_LT(CellDifference(I, Set.find(')'), 61, 14, W, H), 3.0);
    // Distinct characters look distinct, including near-twins.
    EXPECT_GT(CellDifference(I, Set.find('O'), Set.find('0'), 14, W, H), 3.0);
    EXPECT_GT(CellDifference(I, Set.find('l'), Set.find('1'), 14, W, H), 3.0);
    EXPECT_GT(CellDifference(I, Set.find('A'), Set.find('a'), 14, W, H), 3.0);
    // A full stop sits low in its cell, an apostrophe high.
    auto CentreOfInk = [&](char C) {
        const int Cell = static_cast<int>(Set.find(C));
        double Sum = 0, Weight = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const int V = I.Luma(Cell % 14 * W + X, Cell / 14 * H + Y);
                Sum += V * Y;
                Weight += V;
            }
        return Sum / Weight / H;
    };
    EXPECT_GT(CentreOfInk('.'), 0.6);
    EXPECT_LT(CentreOfInk('\''), 0.4);
}
