// The generated pictures: sizes, the black that blending makes transparent, seamless tiling, the
// explosion atlas and the sky cube's joins.
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {

DecodedImage Load(const std::string& Name) {
    DecodedImage I;
    std::string  Error;
    EXPECT_TRUE(ReadJpeg(DataDir() + "/" + Name, I, Error)) << Error;
    return I;
}

int BrightestOnBorder(const DecodedImage& I, int Inset) {
    int Max = 0;
    for (int Y = 0; Y < I.Height; ++Y)
        for (int X = 0; X < I.Width; ++X)
            if (X < Inset || Y < Inset || X >= I.Width - Inset || Y >= I.Height - Inset)
                Max = std::max(Max, I.Luma(X, Y));
    return Max;
}

// Mean luma step between columns A and B of the picture, or between rows A and B.
double Step(const DecodedImage& I, bool Rows, int A, int B) {
    const int N = Rows ? I.Width : I.Height;
    long      Sum = 0;
    for (int K = 0; K < N; ++K)
        Sum += Rows ? std::abs(I.Luma(K, A) - I.Luma(K, B)) : std::abs(I.Luma(A, K) - I.Luma(B, K));
    return double(Sum) / N;
}

// The mean step between neighbouring columns (or rows) inside the picture.
double MeanInnerStep(const DecodedImage& I, bool Rows) {
    const int N = Rows ? I.Height : I.Width;
    double    Sum = 0;
    for (int K = 1; K < N; ++K)
        Sum += Step(I, Rows, K - 1, K);
    return Sum / (N - 1);
}

} // namespace

TEST(Images, EveryPictureDecodesAtItsPowerOfTwoSize) {
    const std::pair<const char*, int> Sizes[] = {{"textures/pointer.jpg", 128},
                                                 {"textures/noise1.jpg", 128},
                                                 {"textures/noise2.jpg", 128},
                                                 {"textures/noise3.jpg", 128},
                                                 {"textures/tree.jpg", 256},
                                                 {"textures/particle2.jpg", 64},
                                                 {"textures/smoke.jpg", 128},
                                                 {"textures/floor.jpg", 256},
                                                 {"textures/cliffbottom.jpg", 512},
                                                 {"textures/shot.jpg", 128},
                                                 {"textures/explosion.jpg", 256},
                                                 {"textures/armour.jpg", 256},
                                                 {"textures/tracks.jpg", 256},
                                                 {"textures/crystal.jpg", 256},
                                                 {"textures/housewall.jpg", 256},
                                                 {"textures/roof.jpg", 256},
                                                 {"textures/blast.jpg", 256},
                                                 {"textures/shockring.jpg", 256},
                                                 {"skybox/fr.jpg", 512},
                                                 {"skybox/bk.jpg", 512},
                                                 {"skybox/lf.jpg", 512},
                                                 {"skybox/rt.jpg", 512},
                                                 {"skybox/up.jpg", 512}};
    for (const auto& [Name, Size] : Sizes) {
        const DecodedImage I = Load(Name);
        EXPECT_EQ(I.Width, Size) << Name;
        EXPECT_EQ(I.Height, Size) << Name;
    }
}

TEST(Images, BlendedSpritesFadeToBlackBeforeTheirBorder) {
    for (const char* Name : {"textures/particle2.jpg", "textures/smoke.jpg", "textures/shot.jpg"}) {
        const DecodedImage I = Load(Name);
        EXPECT_LT(BrightestOnBorder(I, 2), 8) << Name;
        EXPECT_GT(I.Luma(I.Width / 2, I.Height / 2), 120) << Name << " has a bright centre";
    }
    const DecodedImage Smoke = Load("textures/smoke.jpg");
    const uint8_t*     Centre = &Smoke.Rgb[(Smoke.Height / 2 * Smoke.Width + Smoke.Width / 2) * 3];
    EXPECT_LT(std::abs(Centre[0] - Centre[2]), 20) << "smoke is grey";
}

TEST(Images, TheTreeStandsOnItsTrunkAtTheBottomEdge) {
    const DecodedImage I = Load("textures/tree.jpg");
    const int          Bottom = I.Height - 1;
    EXPECT_GT(I.Luma(I.Width / 2, Bottom), 40) << "the trunk reaches the bottom edge";
    EXPECT_LT(I.Luma(4, Bottom), 8);
    EXPECT_LT(I.Luma(I.Width - 5, Bottom), 8);
    for (int X = 0; X < I.Width; ++X)
        EXPECT_LT(I.Luma(X, 0), 8) << "the top edge is black";
    // The crown: green, and much wider than the trunk.
    const uint8_t* Leaf = &I.Rgb[(I.Height * 4 / 10 * I.Width + I.Width / 2) * 3];
    EXPECT_GT(Leaf[1], Leaf[0] + 20);
    int Lit = 0;
    for (int X = 0; X < I.Width; ++X)
        Lit += I.Luma(X, I.Height * 4 / 10) > 30;
    EXPECT_GT(Lit, I.Width / 3);
}

TEST(Images, ThePointerTipIsTheTopLeftCorner) {
    const DecodedImage I = Load("textures/pointer.jpg");
    EXPECT_GT(I.Luma(0, 0), 100);
    EXPECT_GT(I.Luma(4, 8), 200);
    EXPECT_LT(I.Luma(I.Width - 4, I.Height - 4), 8);
    EXPECT_LT(I.Luma(I.Width - 4, 4), 8);
    // Everything lit lies in the arrow's half below the diagonal from the tip.
    for (int Y = 0; Y < I.Height; ++Y)
        for (int X = 0; X < I.Width; ++X)
            if (I.Luma(X, Y) > 60) {
                EXPECT_LE(X, Y + 6) << X << "," << Y;
            }
}

TEST(Images, TheThreeStaticFramesDiffer) {
    const DecodedImage F[3] = {Load("textures/noise1.jpg"), Load("textures/noise2.jpg"),
                               Load("textures/noise3.jpg")};
    for (int A = 0; A < 3; ++A) {
        long                Diff = 0, Sum = 0, SumSq = 0;
        const DecodedImage& B = F[(A + 1) % 3];
        for (int Y = 0; Y < 128; ++Y)
            for (int X = 0; X < 128; ++X) {
                const int V = F[A].Luma(X, Y);
                Diff += std::abs(V - B.Luma(X, Y));
                Sum += V;
                SumSq += V * V;
            }
        const double Mean = Sum / 16384.0, Deviation = std::sqrt(SumSq / 16384.0 - Mean * Mean);
        EXPECT_GT(Diff / 16384.0, 40.0) << "frames " << A + 1 << " and " << (A + 1) % 3 + 1;
        EXPECT_GT(Deviation, 40.0) << "frame " << A + 1 << " is snow, not a flat grey";
    }
}

TEST(Images, TheGroundAndTheWallTileWithoutSeams) {
    for (const char* Name : {"textures/cliffbottom.jpg", "textures/floor.jpg"}) {
        const DecodedImage I = Load(Name);
        const double       Inner = MeanInnerStep(I, false);
        EXPECT_LT(Step(I, false, I.Width - 1, 0), 2.0 * Inner + 2.0)
            << Name << ": left and right edges";
    }
    const DecodedImage Ground = Load("textures/cliffbottom.jpg");
    EXPECT_LT(Step(Ground, true, Ground.Height - 1, 0), 2.0 * MeanInnerStep(Ground, true) + 2.0);
    // Fine grain: neighbouring pixels vary, but the tile has no large bright or dark region that
    // would mark every repeat. Compare the means of the sixteen squares of a 4 x 4 split.
    double Lo = 255, Hi = 0;
    for (int Q = 0; Q < 16; ++Q) {
        long      Sum = 0;
        const int S = Ground.Width / 4;
        for (int Y = 0; Y < S; ++Y)
            for (int X = 0; X < S; ++X)
                Sum += Ground.Luma(Q % 4 * S + X, Q / 4 * S + Y);
        Lo = std::min(Lo, double(Sum) / (S * S));
        Hi = std::max(Hi, double(Sum) / (S * S));
    }
    EXPECT_LT(Hi - Lo, 12.0);
}

TEST(Images, ExplosionFramesGrowAndFade) {
    const DecodedImage I = Load("textures/explosion.jpg");
    const int          Cell = I.Width / 4;
    double             PreviousArea = 0, PreviousPeak = 1e9;
    for (int Row = 0; Row < 4; ++Row) {
        double Area = 0, Peak = 0;
        for (int Column = 0; Column < 4; ++Column) {
            for (int Y = 0; Y < Cell; ++Y)
                for (int X = 0; X < Cell; ++X) {
                    const int V = I.Luma(Column * Cell + X, Row * Cell + Y);
                    Area += V > 25;
                    Peak = std::max(Peak, double(V));
                    if (X < 2 || Y < 2 || X >= Cell - 2 || Y >= Cell - 2) {
                        EXPECT_LT(V, 10)
                            << "cell " << Row << "," << Column << " bleeds into its neighbour";
                    }
                }
        }
        EXPECT_GT(Area, PreviousArea) << "row " << Row;
        EXPECT_LT(Peak, PreviousPeak + 1) << "row " << Row;
        PreviousArea = Area;
        PreviousPeak = Peak;
    }
    EXPECT_GT(PreviousPeak, 60) << "the last frames are faint but visible";
}

TEST(Images, SkyFacesAgreeAlongEveryEdgeTheyShare) {
    // Where an edge pixel of each face lies on the cube, from the terrain's corner table, in
    // lattice units (-511..511): s = column / 511, t = 1 - row / 511, coordinate = -1 + 2s and so
    // on.
    auto Point = [](int FaceIndex, int Column, int RowFromTop, int P[3]) {
        const int S = -511 + 2 * Column, T = 511 - 2 * RowFromTop; // both in -511..511
        switch (FaceIndex) {
        case 0:
            P[0] = S;
            P[1] = T;
            P[2] = -511;
            break; // bk: x = -1 + 2s, y = -1 + 2t, z = -1
        case 1:
            P[0] = -S;
            P[1] = T;
            P[2] = 511;
            break; // fr: x = 1 - 2s
        case 2:
            P[0] = S;
            P[1] = 511;
            P[2] = T;
            break; // up: x = -1 + 2s, z = -1 + 2t
        case 3:
            P[0] = -511;
            P[1] = T;
            P[2] = -S;
            break; // lf: z = 1 - 2s
        default:
            P[0] = 511;
            P[1] = T;
            P[2] = S;
            break; // rt: z = -1 + 2s
        }
    };
    const char* Files[] = {"bk", "fr", "up", "lf", "rt"};
    std::map<std::array<int, 3>, std::vector<std::array<int, 3>>> Seen;
    for (int F = 0; F < 5; ++F) {
        const DecodedImage I = Load(std::string("skybox/") + Files[F] + ".jpg");
        ASSERT_EQ(I.Width, 512);
        for (int K = 0; K < 512; ++K)
            for (const auto& [X, Y] :
                 {std::pair{K, 0}, std::pair{K, 511}, std::pair{0, K}, std::pair{511, K}}) {
                int P[3];
                Point(F, X, Y, P);
                const uint8_t* C = &I.Rgb[(Y * 512 + X) * 3];
                Seen[{P[0], P[1], P[2]}].push_back({C[0], C[1], C[2]});
            }
    }
    int    Shared = 0;
    double Worst = 0, Sum = 0;
    for (const auto& [Where, Colours] : Seen)
        if (Colours.size() >= 2) {
            ++Shared;
            for (size_t A = 1; A < Colours.size(); ++A)
                for (int C = 0; C < 3; ++C) {
                    const double D = std::abs(Colours[A][C] - Colours[0][C]);
                    Worst = std::max(Worst, D);
                    Sum += D;
                }
        }
    // Eight shared edges: four around the top, four upright corners.
    EXPECT_GE(Shared, 8 * 500);
    EXPECT_LT(Sum / (Shared * 3), 4.0);
    EXPECT_LT(Worst, 40.0);
}

TEST(Images, TheSkyIsBlueAboveTheHorizonAndDarkerBelowIt) {
    for (const char* Name : {"skybox/fr.jpg", "skybox/bk.jpg", "skybox/lf.jpg", "skybox/rt.jpg"}) {
        const DecodedImage I = Load(Name);
        const uint8_t*     High = &I.Rgb[(40 * 512 + 256) * 3];
        EXPECT_GT(High[2], High[0]) << Name;
        EXPECT_GT(I.Luma(256, 40), I.Luma(256, 480)) << Name;
    }
    const DecodedImage Up = Load("skybox/up.jpg");
    long               Blue = 0, Red = 0;
    for (size_t P = 0; P < Up.Rgb.size(); P += 3) {
        Red += Up.Rgb[P];
        Blue += Up.Rgb[P + 2];
    }
    EXPECT_GT(Blue, Red);
}
