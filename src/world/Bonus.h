// Bonus items: the pickup test and the nine upgrades an item can carry to the player.
#pragma once
#include <cstdint>

struct Actor_Rec;

constexpr int    BonusTypeCount = 9;     // upgrades 1..9, chosen with equal chance at setup
constexpr double BonusPickupRange = 3.0; // planar distance below which the player collects an item
constexpr double BonusReloadFloor = 1.0; // ReloadTime never falls below this, in SpeedFactor units

// One row of the upgrade table: what the item does to the player and what the log says.
struct BonusUpgrade_Rec {
    const char* Message;         // logged in yellow when the item is collected
    void (*Apply)(Actor_Rec& P); // changes the player's record
};

// The upgrades by BonusType: index 0 is a blank sentinel, 1..9 are the real rows.
extern const BonusUpgrade_Rec BonusUpgrades[BonusTypeCount + 1];

// Collects item Slot when the player stands within BonusPickupRange of it: the item is gone for
// good, the chime plays at the item and its upgrade is applied to the player with its message.
void BonusPickup(int Slot);

// Applies upgrade BonusType (1..9) to the player and logs its message; other values do nothing.
void ApplyBonus(int32_t BonusType);
