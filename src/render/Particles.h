// Particles and explosions: sparks that fly, fall and bounce, smoke puffs that rise and grow,
// and the widening disk and spinning spheres of an actor's destruction. Each system updates and
// draws in one pass per frame.
//
// Conventions: both particle tables and the explosion table are used from slot 1; slot 0 is
// never touched. A spark and the smoke puff of the same emission share a slot number. A slot is
// free while its Life is 0 (a particle) or not above 0 (an explosion).
#pragma once
#include <cstdint>

constexpr int ParticleSlots  = 1000; // slots 1..ParticleSlots of Sparks and Smokes
constexpr int ExplosionSlots = 100;  // slots 1..ExplosionSlots of Explosions

struct Spark_Rec {
    float X;      // position, world units
    float Y;      //   height
    float Z;      //   depth
    float ColorR; // colour, 0..1
    float ColorG; //   green, 0..1
    float ColorB; //   blue, 0..1
    float VelX;   // velocity, world units per 5 units of SpeedFactor
    float VelY;   //   vertical, pulled down by gravity
    float VelZ;   //   depth
    float Life;   // 1 at birth, falls to 0; 0 means the slot is free
    float Size;   // quad size; the half-width is Size / 4
};

struct Smoke_Rec {
    float X;     // position, world units
    float Y;     //   height; the puff rises
    float Z;     //   depth
    float Life;  // 1 at birth, falls to 0
    float Spin;  // degrees added to Angle each frame; set once per new game
    float Angle; // current rotation in the screen plane, degrees
};

struct Explosion_Rec {
    float X;    // centre, world units
    float Y;    //   height
    float Z;    //   depth
    float Life; // 1 at start, falls by 0.01 per unit of SpeedFactor; free at 0 or below
    float Size; // scale of the blast: sphere radius scale, the disk widens to 5 times it
};

extern Spark_Rec     Sparks[ParticleSlots + 1];         // flying sparks, slots 1..ParticleSlots
extern Smoke_Rec     Smokes[ParticleSlots + 1];         // smoke puffs, slots 1..ParticleSlots
extern Explosion_Rec Explosions[ExplosionSlots + 1];    // explosions, slots 1..ExplosionSlots

// Emits up to Count spark-and-smoke pairs at (X, Y, Z) with spark colour (R, G, B) into the
// first free slots; what does not fit is dropped. Does nothing while ShowParticles is off.
void SpawnParticles(int32_t Count, double X, double Y, double Z, double R, double G, double B);

// Starts one explosion in the first free slot; a full table drops it.
void SpawnExplosion(double X, double Y, double Z, float Size);

// Frees every particle slot and gives each smoke puff a fresh spin (RandomReal * 5 - 2.5) and
// angle 0, as a new game requires. Draws one random number per slot, in slot order.
void ResetParticles();

// Frees every explosion slot.
void ResetExplosions();

// Moves and draws every live particle, smoke then spark per slot. While ShowParticles is off it
// does nothing at all, so particles freeze where they are until it is switched on again.
void DrawParticles();

// Advances and draws every live explosion: a disk and 2, 4 or 5 spheres by DetailLevel.
void DrawExplosions();

// The number of sphere layers an explosion draws at the given detail level (1..3).
int ExplosionSphereCount(int32_t Detail);
