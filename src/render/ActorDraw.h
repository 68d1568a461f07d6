// Drawing of the actors for the actor pass: the actor's transform and its model by kind.
//
// Conventions: every actor is drawn between BeginActorDrawing and EndActorDrawing, which save
// and restore the model-view matrix; the model calls draw in the actor's frame and colour.
#pragma once

struct Actor_Rec;

// Saves the model-view matrix, moves to the actor, turns it by Heading - 180 about the vertical
// axis, sets its colour and scales it by (Width x 0.06, Height x 0.05, Length x 0.05).
void BeginActorDrawing(const Actor_Rec& A);

// The player's tank, tilted by -Throttle degrees about its own X axis: it leans with the
// throttle.
void DrawPlayerTankModel(double Throttle);

// An enemy tank or a turret with its near or its far model.
void DrawEnemyTankModel(bool Near);
void DrawTurretModel(bool Near);

// A bonus item, drawn live through the shared bonus-model animator.
void DrawBonusModel();

// Restores the model-view matrix saved by BeginActorDrawing.
void EndActorDrawing();

// After the last actor: the colour back to white.
void EndActorPass();
