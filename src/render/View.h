// The fixed GL state and the two projections: the 3D view and the 2D overlay whose coordinates
// run 0..100 on both axes, y from the bottom.
#pragma once

extern bool   OverlayMode; // last projection: true 2D overlay (0..100), false 3D
extern double FieldOfView; // vertical field of view of the 3D projection, degrees

void InitGLState();
void SetOverlayMode(bool Overlay);
void BeginFrameDrawing(); // clears colour and depth, saves the model-view matrix
void EndFrameDrawing();   // flushes the drawing, restores the model-view matrix
