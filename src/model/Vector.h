// clsVec: one model vertex with its texture coordinates and bone, and its transform by a matrix.
#pragma once
#include <cstdint>

class clsMatrix;

class clsVec {
  public:
    // Replaces X, Y, Z, W by matrix × (X, Y, Z, 1); the incoming W is ignored.
    void Transform(const clsMatrix& Matrix);

    float   X = 0; // position; model space, or the bone's local space once skinned
    float   Y = 0;
    float   Z = 0;
    float   W = 0;          // written only by Transform
    float   U = 0;          // texture coordinate across
    float   V = 0;          // texture coordinate up, stored as 1 - v of the file
    int32_t BoneIndex = -1; // index into the model's Bones; -1 = not attached to a bone
};
