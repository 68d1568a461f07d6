// clsMatrix: identity, affine post-multiplication, Euler rotation and the point operations.
#include "model/Matrix.h"
#include <cmath>
#include <cstring>

namespace {

// Element (row R, column C) in column-major storage.
constexpr int At(int R, int C) {
    return C * 4 + R;
}

} // namespace

clsMatrix::clsMatrix() {
    LoadIdentity();
}

void clsMatrix::LoadIdentity() {
    for (int I = 0; I < 16; I++)
        M[I] = (I % 5 == 0) ? 1.0f : 0.0f;
}

void clsMatrix::GetMatrix(float Out[16]) const {
    std::memcpy(Out, M, sizeof(M));
}

void clsMatrix::SetMatrix(const float In[16]) {
    std::memcpy(M, In, sizeof(M));
}

// Sums are formed in double and rounded once, as the extended-precision original did; every
// result is computed before any is stored, so Other may be this matrix.
void clsMatrix::PostMultiply(const clsMatrix& Other) {
    const float* A = M;
    const float* B = Other.M;
    float        Result[16];
    for (int C = 0; C < 4; C++) {
        for (int R = 0; R < 3; R++) {
            double Sum = double(A[At(R, 0)]) * B[At(0, C)] + double(A[At(R, 1)]) * B[At(1, C)] +
                         double(A[At(R, 2)]) * B[At(2, C)];
            if (C == 3) Sum += A[At(R, 3)];
            Result[At(R, C)] = float(Sum);
        }
        Result[At(3, C)] = (C == 3) ? 1.0f : 0.0f;
    }
    std::memcpy(M, Result, sizeof(M));
}

void clsMatrix::SetRotationRadians(const float Angles[3]) {
    const double Cr = float(std::cos(double(Angles[0])));
    const double Sr = float(std::sin(double(Angles[0])));
    const double Cp = float(std::cos(double(Angles[1])));
    const double Sp = float(std::sin(double(Angles[1])));
    const double Cy = float(std::cos(double(Angles[2])));
    const double Sy = float(std::sin(double(Angles[2])));
    // These two products are rounded to float before they are used again.
    const double SrSp = float(Sr * Sp);
    const double CrSp = float(Cr * Sp);

    M[0] = float(Cp * Cy);
    M[1] = float(Cp * Sy);
    M[2] = (Sp == 0.0) ? 0.0f : float(-Sp); // never a negative zero
    M[4] = float(SrSp * Cy - Cr * Sy);
    M[5] = float(SrSp * Sy + Cr * Cy);
    M[6] = float(Sr * Cp);
    M[8] = float(CrSp * Cy + Sr * Sy);
    M[9] = float(CrSp * Sy - Sr * Cy);
    M[10] = float(Cr * Cp);
}

void clsMatrix::SetTranslation(const float Translation[3]) {
    M[12] = Translation[0];
    M[13] = Translation[1];
    M[14] = Translation[2];
}

void clsMatrix::RotateVect(float Vect[3]) const {
    const double X = Vect[0], Y = Vect[1], Z = Vect[2];
    Vect[0] = float(X * M[0] + Y * M[4] + Z * M[8]);
    Vect[1] = float(X * M[1] + Y * M[5] + Z * M[9]);
    Vect[2] = float(X * M[2] + Y * M[6] + Z * M[10]);
}

void clsMatrix::InverseRotateVect(float Vect[3]) const {
    const double X = Vect[0], Y = Vect[1], Z = Vect[2];
    Vect[0] = float(X * M[0] + Y * M[1] + Z * M[2]);
    Vect[1] = float(X * M[4] + Y * M[5] + Z * M[6]);
    Vect[2] = float(X * M[8] + Y * M[9] + Z * M[10]);
}

void clsMatrix::TranslateVect(float Vect[3]) const {
    Vect[0] += M[12];
    Vect[1] += M[13];
    Vect[2] += M[14];
}

void clsMatrix::InverseTranslateVect(float Vect[3]) const {
    Vect[0] -= M[12];
    Vect[1] -= M[13];
    Vect[2] -= M[14];
}
