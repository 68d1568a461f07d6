// Shots, hits and kills: firing, the per-frame shot pass that moves, ages, bounces and draws
// every shot, and what a hit does to its victim (damage, score, messages, destruction, respawn).
//
// Conventions: a shot's Life tells its state: above ShotExplodeLife it flies, from 0 up to
// ShotExplodeLife it explodes (one step per frame), below 0 it has finished, and at ShotFreeLife
// or less the slot is free. Owner is a slot index into Actors.
#pragma once
#include <cstdint>

constexpr int     ShotSlots       = 1001; // slots 0..1000 of Shots
constexpr int     ShotFireSlots   = 1000; // firing only ever uses slots 0..999
constexpr int32_t ShotFreeLife    = -100; // Life of a free slot
constexpr int32_t ShotExplodeLife = 32;   // Life at which a shot starts to explode
constexpr double  ShotHitDistance = 5.0;  // Manhattan distance (X, Z) under which a shot hits
constexpr double  ShotSubStepMost = 5.0;  // longest piece of a frame's move between hit tests,
                                          // Manhattan units: half the hit window, so a shot
                                          // passing through an actor's centre always meets it
constexpr int     ShotSubStepsMost = 1000; // bound on the pieces of one move, for absurd frames

struct Shot_Rec {
    float   X;       // position, world units
    float   Y;       //   height
    float   Z;       //   depth
    float   ColorR;  // the owner's colour in flight, the victim's after a hit, 0..1
    float   ColorG;  //   green, 0..1
    float   ColorB;  //   blue, 0..1
    float   VX;      // velocity, world units per unit of SpeedFactor
    float   VY;      //   always 0
    float   VZ;      //   depth
    int32_t Life;    // see the conventions above
    double  Spin;    // sprite rotation, degrees
    int32_t Power;   // damage, the owner's ShotPower
    int16_t Owner;   // slot in Actors of the actor that fired
    bool    Bounces; // true: bounces off the wall; false: explodes there
    bool    Moved;   // false until the shot has made its first move: until then it cannot hit
                     // the actor that fired it, who may have stepped onto it meanwhile
};

extern Shot_Rec Shots[ShotSlots]; // every shot of the battle

// Fires one shot for the actor if its shot limit and reload timer allow and a slot is free.
void FireShot(int Actor);

// The per-frame shot pass: hits first, then drawing, then ageing, moving and the wall tests.
// Runs inside the frame's drawing with the 3D camera transform current. A move longer than one
// unit of SpeedFactor or than ShotSubStepMost is made in pieces, with the actors tested after
// each, so a long frame finds the same hits as short ones.
void UpdateShots();

// Applies the hit of shot Shot on actor Actor: damage, score, messages, alarm, destruction,
// respawn, the small explosion sound and sparks.
void ApplyHit(int Shot, int Actor);

// Frees all slots (Life ShotFreeLife) and sets every bounce flag, as a new game requires.
void ResetShots();
