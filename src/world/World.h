// The battle's world state: the actor table, the battle's globals, the whole-degree sine and
// cosine tables and the small helpers every battle routine shares.
//
// Conventions: X and Z span the ground, Y is up. Headings are degrees; heading h faces
// (-sin h, 0, -cos h), so heading 0 faces -Z and heading 90 faces -X. Actor arguments are slot
// indices into Actors; slot 0 is always the player.
#pragma once
#include <cstdint>
#include <string>

// Kinds of actor (Actor_Rec::Kind).
constexpr int32_t KindPlayer = 1; // the player's walking tank, always slot 0
constexpr int32_t KindTank   = 2; // an enemy tank that wanders and fires on sight
constexpr int32_t KindTurret = 3; // a fixed turret that swivels and fires
constexpr int32_t KindBonus  = 4; // a bonus item waiting to be picked up

struct Actor_Rec {
    std::string Name;          // shown in hit and kill messages
    int32_t     MaxShots;      // most shots this actor may have in flight at once
    int32_t     ShotRange;     // starting life of each shot it fires; larger flies further
    int32_t     ShotsInFlight; // its shots currently holding a slot of the shot table
    int32_t     Energy;        // hit points; the actor takes part only while above 0
    double      ColorR;        // tint of model, shots, radar blip and smoke, 0..1
    double      ColorG;        //   green, 0..1
    double      ColorB;        //   blue, 0..1
    double      Width;         // model scale: drawn scaled by Width * 0.06 along its own X
    double      Length;        // model scale: Length * 0.05 along its own Z
    double      Height;        // model scale: Height * 0.05 along its own Y
    float       X;             // position, world units
    float       Y;             //   height, normally GroundY
    float       Z;             //   depth
    float       Heading;       // facing, degrees, kept in [0, 360] by the actor pass
    float       DeathHeading;  // Heading copied when the actor was destroyed, degrees
    float       Speed;         // distance per step = Speed * SpeedFactor * throttle
    float       TurnSpeed;     // degrees turned per unit of SpeedFactor
    float       ShotSpeed;     // multiplier of the velocity of its shots
    int32_t     Kind;          // KindPlayer, KindTank, KindTurret or KindBonus
    bool        ShotsBounce;   // true: its shots bounce off the wall; false: they explode there
    int32_t     ShotPower;     // nominal damage of its shots; also the shot sprite's size
    double      SightRange;    // an enemy reacts to the player only closer than this, world units
    double      ReloadTimer;   // counts down by SpeedFactor; may fire only at 0 or less
    double      ReloadTime;    // put into ReloadTimer on firing, units of SpeedFactor
    int32_t     BonusType;     // bonus items only: which pickup effect, 1..9
    double      Acceleration;  // player only: change of PlayerVelocity per unit of SpeedFactor
};

constexpr int    ActorSlots  = 501;     // slots 0..500 of Actors
constexpr int    ArenaCountMax = 50;    // most tanks, turrets or bonus items a custom arena places
// Last actor slot a battle uses: the player, then up to 50 tanks, 50 turrets and 50 bonus items.
// The actor pass, the shot hits, the player's blocking test, the radar and the new-battle clear
// all visit slots up to here, so everything setup places takes part.
constexpr int    BattleSlotLast = 3 * ArenaCountMax;
constexpr int    TrigEntries = 721;     // whole degrees -360..360 in SinTable and CosTable
constexpr int    TrigOffset  = 360;     // SinTable[d + TrigOffset] holds sin(d degrees)
constexpr double GroundY     = -179.0;  // height every actor stands at, one above the ground plane

extern Actor_Rec Actors[ActorSlots];        // every actor of the battle; slot 0 the player
extern int32_t   Score;                     // the player's score; changed only by hits
extern double    PlayerVelocity;            // player throttle in [-1, 1]; positive is forward
extern int32_t   ArenaScale;                // 10: the arena wall stands at +-50 * ArenaScale
extern int32_t   NewGameRequested;          // 1: the next game setup builds a fresh battle
extern bool      RadarWorking;              // false while the radar is damaged: no blips drawn
extern bool      RadarShowsShots;           // the radar also draws shots in flight
extern double    SinTable[TrigEntries];     // sin of whole degrees -360..360, index d + TrigOffset
extern double    CosTable[TrigEntries];     // cos of whole degrees -360..360, index d + TrigOffset

// Fills SinTable and CosTable for d = -360..360 with pi at extended precision.
void FillTrigTables();

// Table entries for a whole number of degrees. A degree outside -360..360 is first brought
// back into range by whole turns (keeping its sign), so no heading, however far it has drifted,
// reads outside the tables.
int64_t WrapDegreeIndex(int64_t Degrees);
double  SinTableAt(int64_t Degrees);
double  CosTableAt(int64_t Degrees);

double Distance2D(double X1, double Z1, double X2, double Z2);        // straight-line distance
double ManhattanDistance(double X1, double Z1, double X2, double Z2); // |dz| + |dx|

// Steps an actor along heading d (whole degrees) by Speed * SpeedFactor * Throttle; a negative
// throttle steps backwards. MoveActorBackward is the same step with both signs reversed.
void MoveActorForward(int Actor, int64_t Degrees, double Throttle);
void MoveActorBackward(int Actor, int64_t Degrees, double Throttle);

// The quantised aim test: does the shooter face the target closely enough to fire at it?
// Ignores the shot's range and anything standing in between.
bool InLineOfFire(int Shooter, int Target);
