// The game window and its OpenGL context on SDL2.
#include "shell/Window.h"

const Resolution Resolutions[ResolutionCount + 1] = {
    {0, 0}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1280, 800}};

SDL_Window* WindowHandle = nullptr;
void*       RenderContext = nullptr;
int32_t     ScreenWidth = 0;
int32_t     ScreenHeight = 0;
int32_t     ResolutionWanted = 0;
int32_t     ResolutionApplied = 0;
bool        FirstStart = true;
bool        OverlayMode = false;
double      FieldOfView = 0.0;
bool        GLReady = false;
bool        GLExtensionsReady = false;
bool        WindowedOption = false;

bool CreateMainWindow(int32_t, int32_t, bool, int32_t) { return false; }
void DestroyMainWindow(bool) {}
void InitGLState() {}
void ResizeViewport(int32_t, int32_t) {}
void SetOverlayMode(bool Overlay) { OverlayMode = Overlay; }
void ChangeDisplayMode(int16_t) {}
void SwapMainWindow() {}
