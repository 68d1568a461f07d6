// The game window with its double-buffered OpenGL context, the viewport and the two projections.
#pragma once
#include <cstdint>

#include "core/Screen.h"
#include "render/View.h"

struct SDL_Window;

extern SDL_Window* WindowHandle;      // the game window; null when none
extern void*       RenderContext;     // the OpenGL context made on the window; null when none
extern bool        GLReady;           // the OpenGL entry points are usable
extern bool        GLExtensionsReady; // the extension string has been read
extern bool        WindowedOption;    // --windowed: an ordinary window of the mode's size

// Where the game's picture lies in the window, pixels from the top-left. In a window it is the
// whole client area; full screen it is the mode's shape scaled to fit, centred between black bars.
struct PictureRect {
    int32_t X;
    int32_t Y;
    int32_t Width;
    int32_t Height;
};
extern PictureRect Picture;           // the current picture in the window
extern int32_t     WindowPixelHeight; // client height the picture was placed in, pixels
extern bool        PictureScaled;     // full screen: the picture is fitted and pointer positions mapped

// The largest rectangle of PictureW x PictureH's shape inside Outer, centred.
PictureRect FitPicture(int32_t OuterW, int32_t OuterH, int32_t PictureW, int32_t PictureH);
// Window pixels to the display mode's pixels; identity unless the picture is scaled.
void WindowToPicture(float& X, float& Y);
void ToggleFullScreen(); // Alt+Enter: full screen over the desktop <-> a window of the mode's size

// Makes the OpenGL context on a new window (SDL_GL_CreateContext). Tests replace it to stand in
// for a driver that refuses a context for some display mode.
extern void* (*MakeRenderContext)(SDL_Window* Window);

bool CreateMainWindow(int32_t Width, int32_t Height, bool FullScreen, int32_t Bits);
void DestroyMainWindow(bool RestoreDisplay);
void ResizeViewport(int32_t Width, int32_t Height);
// Reopens the window and context in display mode Number. When that fails after start-up the
// previous mode is opened again; when even that fails, QuitRequested is set and no window is left.
void ChangeDisplayMode(int16_t Number);
void SwapMainWindow();    // shows the finished frame (the back buffer)
// Swaps wait for the display's refresh (Wait true, the driver's default) or not at all.
void SetSwapWait(bool Wait);
