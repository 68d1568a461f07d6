// Noise: the generator's one source of randomness, fixed-seed and hash-based so every run is identical.
#pragma once
#include <cstdint>

// A small fixed-seed generator (PCG32); the standard library's distributions are not portable.
class clsRandom {
  public:
    explicit clsRandom(uint64_t Seed);
    uint32_t Next();                           // 32 random bits
    double   Real();                           // in [0, 1)
    double   Range(double Lo, double Hi);      // in [Lo, Hi)
    int      Int(int N);                       // in 0..N-1
    double   Gauss();                          // roughly normal, mean 0, deviation 1

  private:
    uint64_t State;
};

// A hash of lattice coordinates to a real in [0, 1).
double HashReal(int X, int Y, int Z, uint32_t Seed);

// Value noise on a lattice of PeriodX by PeriodY cells that wraps, so textures built from it tile
// seamlessly. X and Y are in lattice cells; the result is in [0, 1).
double TileNoise(double X, double Y, int PeriodX, int PeriodY, uint32_t Seed);

// Fractal sum of TileNoise: Octaves layers, each twice the frequency and Gain times the weight of the
// one before. U and V are in [0, 1) over one tile; PeriodX and PeriodY give the lattice of the first
// octave (unequal periods make the grain match a texture that is stretched when drawn).
// The result is normalised to [0, 1).
double TileFractal(double U, double V, int PeriodX, int PeriodY, int Octaves, double Gain,
                   uint32_t Seed);

// Three-dimensional value noise without wrapping (for the sky, sampled by direction), in [0, 1).
double Noise3(double X, double Y, double Z, uint32_t Seed);
double Fractal3(double X, double Y, double Z, int Octaves, double Gain, uint32_t Seed);

// Helpers shared by the texture and sound builders.
double Clamp01(double X);
double SmoothStep(double Edge0, double Edge1, double X);
double Mix(double A, double B, double T);
