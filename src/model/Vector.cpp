// clsVec: the transform of a model vertex, taken as a point (w = 1).
#include "model/Vector.h"
#include "model/Matrix.h"

void clsVec::Transform(const clsMatrix& Matrix) {
    const float* M = Matrix.M;
    float        Out[4];
    for (int I = 0; I < 4; I++)
        Out[I] = float(double(X) * M[I] + double(Y) * M[4 + I] + double(Z) * M[8 + I] + M[12 + I]);
    X = Out[0];
    Y = Out[1];
    Z = Out[2];
    W = Out[3];
}
