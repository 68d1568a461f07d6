// Bonus items: the pickup test and the upgrade table.
#include "world/Bonus.h"

#include "core/EventLog.h"
#include "sound/Sound.h"
#include "world/World.h"

// Every upgrade has no upper limit; only the reload time has a floor.
const BonusUpgrade_Rec BonusUpgrades[BonusTypeCount + 1] = {
    {"", [](Actor_Rec&) {}},
    {"Maximum shots increased", [](Actor_Rec& P) { P.MaxShots += 1; }},
    {"Energy +25",
     [](Actor_Rec& P) {
         P.Energy += 25;
         RadarWorking = true;
     }},
    {"Energy +50",
     [](Actor_Rec& P) {
         P.Energy += 50;
         RadarWorking = true;
     }},
    {"Shot range increased", [](Actor_Rec& P) { P.ShotRange += 100; }},
    {"Speed increased", [](Actor_Rec& P) { P.Speed += 0.2f; }},
    {"Shot power increased", [](Actor_Rec& P) { P.ShotPower += 5; }},
    {"Reload time decreased",
     [](Actor_Rec& P) {
         P.ReloadTime -= 1.0;
         if (P.ReloadTime < BonusReloadFloor) P.ReloadTime = BonusReloadFloor;
     }},
    {"Turn speed increased", [](Actor_Rec& P) { P.TurnSpeed += 0.5f; }},
    {"Acceleration increased", [](Actor_Rec& P) { P.Acceleration += 0.01; }},
};

void ApplyBonus(int32_t BonusType) {
    if (BonusType < 1 || BonusType > BonusTypeCount) return;
    const BonusUpgrade_Rec& Upgrade = BonusUpgrades[BonusType];
    Upgrade.Apply(Actors[0]);
    AddLogLine(Upgrade.Message, 1.0, 1.0, 0.0);
}

void BonusPickup(int Slot) {
    Actor_Rec&       Item = Actors[Slot];
    const Actor_Rec& P = Actors[0];
    if (Distance2D(P.X, P.Z, Item.X, Item.Z) >= BonusPickupRange) return;
    // Gone for the rest of the game: respawn brings back only items that were shot.
    Item.Energy = 0;
    PlaySoundAt(SndBonus, Item.X, Item.Y, Item.Z);
    ApplyBonus(Item.BonusType);
}
