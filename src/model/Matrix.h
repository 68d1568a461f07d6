// clsMatrix: 4 x 4 affine bone transforms built from Euler angles and a translation.
//
// Storage order: OpenGL's column-major order. Element (row r, column c) is M[c * 4 + r], so the
// translation is M[12], M[13], M[14] and the bottom row is M[3], M[7], M[11], M[15]. A matrix can
// therefore be handed to glMultMatrixf as it is. All arithmetic is on 32-bit floats.
#pragma once

class clsMatrix {
  public:
    clsMatrix(); // the identity

    void LoadIdentity();
    void GetMatrix(float Out[16]) const;
    void SetMatrix(const float In[16]);
    // M = M × Other, both taken as affine (bottom row 0 0 0 1); Other may be this matrix itself.
    void PostMultiply(const clsMatrix& Other);
    // Overwrites the 3 x 3 rotation part from Euler angles in radians; the rest is kept.
    void SetRotationRadians(const float Angles[3]);
    // M[12..14] = Translation; the rest is kept.
    void SetTranslation(const float Translation[3]);

    void RotateVect(float Vect[3]) const;           // v = R v
    void InverseRotateVect(float Vect[3]) const;    // v = R^T v, the inverse of a pure rotation
    void TranslateVect(float Vect[3]) const;        // v += translation
    void InverseTranslateVect(float Vect[3]) const; // v -= translation

    float M[16]; // column-major, see above
};
