// Noise: fixed-seed random numbers and lattice value noise.
#include "Noise.h"

#include <cmath>

clsRandom::clsRandom(uint64_t Seed) : State(Seed * 6364136223846793005ULL + 1442695040888963407ULL) {
    Next();
}

uint32_t clsRandom::Next() {
    const uint64_t Old = State;
    State = Old * 6364136223846793005ULL + 1442695040888963407ULL;
    const uint32_t Shifted = static_cast<uint32_t>(((Old >> 18u) ^ Old) >> 27u);
    const uint32_t Rot = static_cast<uint32_t>(Old >> 59u);
    return (Shifted >> Rot) | (Shifted << ((32u - Rot) & 31u));
}

double clsRandom::Real() { return Next() / 4294967296.0; }

double clsRandom::Range(double Lo, double Hi) { return Lo + (Hi - Lo) * Real(); }

int clsRandom::Int(int N) { return static_cast<int>((static_cast<uint64_t>(Next()) * N) >> 32); }

double clsRandom::Gauss() {
    // Sum of four uniforms: close enough to normal for noise and jitter, and cheap.
    return (Real() + Real() + Real() + Real() - 2.0) * 1.7320508;
}

static uint32_t Hash(uint32_t X) {
    X ^= X >> 16;
    X *= 0x7feb352dU;
    X ^= X >> 15;
    X *= 0x846ca68bU;
    X ^= X >> 16;
    return X;
}

double HashReal(int X, int Y, int Z, uint32_t Seed) {
    uint32_t H = Hash(Seed ^ 0x9e3779b9U);
    H = Hash(H ^ static_cast<uint32_t>(X));
    H = Hash(H ^ static_cast<uint32_t>(Y));
    H = Hash(H ^ static_cast<uint32_t>(Z));
    return H / 4294967296.0;
}

static double Fade(double T) { return T * T * T * (T * (T * 6.0 - 15.0) + 10.0); }

static int Wrap(int I, int Period) {
    const int M = I % Period;
    return M < 0 ? M + Period : M;
}

double TileNoise(double X, double Y, int PeriodX, int PeriodY, uint32_t Seed) {
    const double FX = std::floor(X), FY = std::floor(Y);
    const int X0 = static_cast<int>(FX), Y0 = static_cast<int>(FY);
    const double TX = Fade(X - FX), TY = Fade(Y - FY);
    const int XA = Wrap(X0, PeriodX), XB = Wrap(X0 + 1, PeriodX);
    const int YA = Wrap(Y0, PeriodY), YB = Wrap(Y0 + 1, PeriodY);
    const double A = HashReal(XA, YA, 0, Seed), B = HashReal(XB, YA, 0, Seed);
    const double C = HashReal(XA, YB, 0, Seed), D = HashReal(XB, YB, 0, Seed);
    return Mix(Mix(A, B, TX), Mix(C, D, TX), TY);
}

double TileFractal(double U, double V, int PeriodX, int PeriodY, int Octaves, double Gain,
                   uint32_t Seed) {
    double Sum = 0.0, Weight = 1.0, Total = 0.0;
    int PX = PeriodX, PY = PeriodY;
    for (int O = 0; O < Octaves; ++O) {
        Sum += Weight * TileNoise(U * PX, V * PY, PX, PY, Seed + 101u * O);
        Total += Weight;
        Weight *= Gain;
        PX *= 2;
        PY *= 2;
    }
    return Sum / Total;
}

double Noise3(double X, double Y, double Z, uint32_t Seed) {
    const double FX = std::floor(X), FY = std::floor(Y), FZ = std::floor(Z);
    const int X0 = static_cast<int>(FX), Y0 = static_cast<int>(FY), Z0 = static_cast<int>(FZ);
    const double TX = Fade(X - FX), TY = Fade(Y - FY), TZ = Fade(Z - FZ);
    double Layer[2];
    for (int K = 0; K < 2; ++K) {
        const double A = HashReal(X0, Y0, Z0 + K, Seed), B = HashReal(X0 + 1, Y0, Z0 + K, Seed);
        const double C = HashReal(X0, Y0 + 1, Z0 + K, Seed), D = HashReal(X0 + 1, Y0 + 1, Z0 + K, Seed);
        Layer[K] = Mix(Mix(A, B, TX), Mix(C, D, TX), TY);
    }
    return Mix(Layer[0], Layer[1], TZ);
}

double Fractal3(double X, double Y, double Z, int Octaves, double Gain, uint32_t Seed) {
    double Sum = 0.0, Weight = 1.0, Total = 0.0, F = 1.0;
    for (int O = 0; O < Octaves; ++O) {
        Sum += Weight * Noise3(X * F, Y * F, Z * F, Seed + 101u * O);
        Total += Weight;
        Weight *= Gain;
        F *= 2.0;
    }
    return Sum / Total;
}

double Clamp01(double X) { return X < 0.0 ? 0.0 : (X > 1.0 ? 1.0 : X); }

double SmoothStep(double Edge0, double Edge1, double X) {
    const double T = Clamp01((X - Edge0) / (Edge1 - Edge0));
    return T * T * (3.0 - 2.0 * T);
}

double Mix(double A, double B, double T) { return A + (B - A) * T; }
