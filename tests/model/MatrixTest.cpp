// clsMatrix and clsVec: element layout, Euler rotation, post-multiplication and point operations.
#include "model/Matrix.h"
#include "model/Vector.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const float Pi = 3.14159265358979f;

clsMatrix Rotation(float X, float Y, float Z) {
    clsMatrix   Result;
    const float Angles[3] = {X, Y, Z};
    Result.SetRotationRadians(Angles);
    return Result;
}

clsMatrix Translation(float X, float Y, float Z) {
    clsMatrix   Result;
    const float Offset[3] = {X, Y, Z};
    Result.SetTranslation(Offset);
    return Result;
}

// Row-major 3 x 3 product in double, for reference.
void Multiply3(const double A[3][3], const double B[3][3], double Out[3][3]) {
    for (int R = 0; R < 3; R++)
        for (int C = 0; C < 3; C++)
            Out[R][C] = A[R][0] * B[0][C] + A[R][1] * B[1][C] + A[R][2] * B[2][C];
}

} // namespace

TEST(Matrix, NewMatrixIsIdentityAndZeroRotationKeepsPositiveZero) {
    const clsMatrix Fresh;
    for (int I = 0; I < 16; I++)
        EXPECT_EQ(Fresh.M[I], (I % 5 == 0) ? 1.0f : 0.0f) << I;

    const clsMatrix Zero = Rotation(0, 0, 0);
    for (int I = 0; I < 16; I++)
        EXPECT_EQ(Zero.M[I], (I % 5 == 0) ? 1.0f : 0.0f) << I;
    EXPECT_FALSE(std::signbit(Zero.M[2])) << "-sin(0) must be stored as +0.0";
}

TEST(Matrix, RotationLeavesTranslationAndBottomRowAlone) {
    clsMatrix M;
    float     Values[16];
    for (int I = 0; I < 16; I++)
        Values[I] = float(I + 1);
    M.SetMatrix(Values);
    const float Angles[3] = {0.4f, -0.2f, 1.3f};
    M.SetRotationRadians(Angles);
    for (int I : {3, 7, 11, 12, 13, 14, 15})
        EXPECT_EQ(M.M[I], float(I + 1)) << I;
    float Out[16];
    M.GetMatrix(Out);
    for (int I = 0; I < 16; I++)
        EXPECT_EQ(Out[I], M.M[I]);
}

// The rotation is Rz(z) Ry(y) Rx(x) in column-major storage.
TEST(Matrix, EulerRotationIsZAfterYAfterX) {
    const double X = 0.3, Y = -0.7, Z = 1.1;
    const double Rx[3][3] = {{1, 0, 0}, {0, cos(X), -sin(X)}, {0, sin(X), cos(X)}};
    const double Ry[3][3] = {{cos(Y), 0, sin(Y)}, {0, 1, 0}, {-sin(Y), 0, cos(Y)}};
    const double Rz[3][3] = {{cos(Z), -sin(Z), 0}, {sin(Z), cos(Z), 0}, {0, 0, 1}};
    double       Zy[3][3], Expected[3][3];
    Multiply3(Rz, Ry, Zy);
    Multiply3(Zy, Rx, Expected);
    const clsMatrix M = Rotation(float(X), float(Y), float(Z));
    for (int R = 0; R < 3; R++)
        for (int C = 0; C < 3; C++)
            EXPECT_NEAR(M.M[C * 4 + R], Expected[R][C], 1e-6) << R << "," << C;
}

TEST(Matrix, InverseRotationUndoesRotation) {
    const float Angles[][3] = {{0.1f, 0.2f, 0.3f}, {-2.0f, 1.4f, 3.0f}, {Pi, -Pi / 2, 0.7f}};
    for (const auto& A : Angles) {
        const clsMatrix M = Rotation(A[0], A[1], A[2]);
        float           V[3] = {1.5f, -2.25f, 4.0f};
        M.RotateVect(V);
        M.InverseRotateVect(V);
        EXPECT_NEAR(V[0], 1.5f, 1e-5);
        EXPECT_NEAR(V[1], -2.25f, 1e-5);
        EXPECT_NEAR(V[2], 4.0f, 1e-5);
    }
}

// A.PostMultiply(B) is A x B: B applies first, so B's translation is turned by A's rotation and
// added to A's. A may be its own operand.
TEST(Matrix, PostMultiplyAppliesTheOtherMatrixFirstEvenWhenItIsItself) {
    clsMatrix A = Rotation(0, 0, 0.5f);
    A.SetTranslation(std::array<float, 3>{1, 0, 0}.data());
    A.PostMultiply(A);
    const clsMatrix Twice = Rotation(0, 0, 1.0f);
    for (int I : {0, 1, 4, 5, 10})
        EXPECT_NEAR(A.M[I], Twice.M[I], 1e-6) << I;
    EXPECT_NEAR(A.M[12], 1 + std::cos(0.5), 1e-6);
    EXPECT_NEAR(A.M[13], std::sin(0.5), 1e-6);
    EXPECT_EQ(A.M[14], 0.0f);
    for (int I : {3, 7, 11})
        EXPECT_EQ(A.M[I], 0.0f) << I;
    EXPECT_EQ(A.M[15], 1.0f);
}

TEST(Matrix, TranslateAndInverseTranslate) {
    const clsMatrix M = Translation(1, -2, 3);
    float           V[3] = {5, 5, 5};
    M.TranslateVect(V);
    EXPECT_EQ(V[0], 6);
    EXPECT_EQ(V[1], 3);
    EXPECT_EQ(V[2], 8);
    M.InverseTranslateVect(V);
    EXPECT_EQ(V[0], 5);
    EXPECT_EQ(V[1], 5);
    EXPECT_EQ(V[2], 5);
}

// The vertex is taken as a point with w = 1 whatever its W: turned, then moved by the
// translation; its new W is the bottom row's result.
TEST(Vector, TransformTurnsThenTranslatesAPointWithWOne) {
    clsMatrix M = Rotation(0, 0, Pi / 2);
    float     Values[16];
    M.GetMatrix(Values);
    Values[12] = 10;
    Values[13] = -8;
    Values[14] = 9;
    Values[15] = 2.5f;
    M.SetMatrix(Values);
    clsVec V;
    V.X = 1;
    V.W = 42;
    V.Transform(M);
    EXPECT_NEAR(V.X, 10, 1e-6);
    EXPECT_NEAR(V.Y, -7, 1e-6);
    EXPECT_NEAR(V.Z, 9, 1e-6);
    EXPECT_EQ(V.W, 2.5f);
}

// sin(x)·sin(y) and cos(x)·sin(y) are rounded to floats before they are used again. Over a sweep
// of angles that rounding changes some elements by a unit in the last place; where it does, the
// matrix must hold the rounded result.
TEST(Matrix, TheTwoSineProductsAreRoundedToFloatFirst) {
    int Differ = 0;
    for (int I = 1; I < 300; ++I) {
        const float  A[3] = {0.013f * float(I), -0.029f * float(I), 0.047f * float(I)};
        const double Cr = float(std::cos(double(A[0]))), Sr = float(std::sin(double(A[0])));
        const double Sp = float(std::sin(double(A[1])));
        const double Cy = float(std::cos(double(A[2]))), Sy = float(std::sin(double(A[2])));
        // Elements 4, 5, 8 and 9, the four that use the two products.
        auto Elements = [&](bool Round) {
            const double SrSp = Round ? double(float(Sr * Sp)) : Sr * Sp;
            const double CrSp = Round ? double(float(Cr * Sp)) : Cr * Sp;
            return std::array<float, 4>{float(SrSp * Cy - Cr * Sy), float(SrSp * Sy + Cr * Cy),
                                        float(CrSp * Cy + Sr * Sy), float(CrSp * Sy - Sr * Cy)};
        };
        const std::array<float, 4> Rounded = Elements(true), Unrounded = Elements(false);
        const clsMatrix            M = Rotation(A[0], A[1], A[2]);
        for (int K = 0; K < 4; ++K) {
            if (Rounded[size_t(K)] == Unrounded[size_t(K)]) continue;
            ++Differ;
            EXPECT_EQ(M.M[K < 2 ? 4 + K : 6 + K], Rounded[size_t(K)])
                << "sweep " << I << ", element " << K;
        }
    }
    EXPECT_GT(Differ, 10) << "the sweep must reach angles where the rounding shows";
}
