// The game halves of the input handlers: the tank keys, the camera key, the view toggles, and
// the dragging of the heads-up panels (grabbed by GrabPanel of the input unit on a left press).
#pragma once

// ProcessGameKeys in a running game: the player's tank first (a collision that put the player
// back ends the handling of this frame, so the other keys wait), then the camera key while the
// player lives, then the eight toggles in their order.
void ProcessGameKeysInGame();

// ProcessMouseButtons in a running game: the left button drags the panel grabbed at the press;
// the right and middle buttons are simply cleared.
void ProcessMouseButtonsInGame();
