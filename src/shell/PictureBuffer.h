// The off-screen picture of full screen: the game draws into a framebuffer of the display mode's
// size, and every swap shows it scaled into the window between black bars. Drawing costs and
// looks the same whatever the desktop's resolution. Without framebuffer objects the window unit
// falls back to drawing straight into the fitted part of the window.
#pragma once
#include <cstdint>

struct PictureRect;

extern bool    PictureBuffered; // drawing goes into the off-screen picture
extern int32_t BufferWidth;     // its size, pixels (the display mode's)
extern int32_t BufferHeight;

// Makes the off-screen picture at Width x Height (again, when the size changed) and binds it for
// drawing. False, with drawing left on the window, when the driver cannot.
bool OpenPictureBuffer(int32_t Width, int32_t Height);
void ClosePictureBuffer(); // releases it; drawing goes to the window again

// Before the swap: the window cleared black and the picture scaled into Where (pixels from the
// window's top-left, the window WindowHeight high); then the picture is bound again for drawing.
void ShowPictureBuffer(const PictureRect& Where, int32_t WindowHeight);
