// The game window and its OpenGL context on SDL2: opening and closing them, the fixed GL state,
// the viewport, the 3D and overlay projections and the display-mode change.
#include "shell/Window.h"

#include "model/Animate.h"
#include "platform/Platform.h"
#include "render/Textures.h"
#include "shell/App.h"
#include "shell/Events.h"
#include "shell/PictureBuffer.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <GL/glu.h>
#include <cstdlib>
#include <cstring>


SDL_Window* WindowHandle = nullptr;
void*       RenderContext = nullptr;
bool        GLReady = false;
bool        GLExtensionsReady = false;
bool        WindowedOption = false;
void* (*MakeRenderContext)(SDL_Window*) = SDL_GL_CreateContext;
PictureRect Picture = {0, 0, 0, 0};
int32_t     WindowPixelHeight = 0;
bool        PictureScaled = false;

namespace {

constexpr const char* WindowTitle = "Tarvix - tank battle arena, by the Tarvix team (tarvix@example.org)";
constexpr const char* ErrorCaption = "Error";
constexpr int32_t     DepthBits = 16;

bool VideoStarted = false; // the SDL video subsystem is up (our "window class" is registered)

void ShowError(const char* Text) { ShowMessage(Text, ErrorCaption); }

// Colour and depth bits of the frame buffer; requested before the window is made, because SDL
// picks the window's visual from them.
void RequestPixelFormat(int32_t Bits) {
    const int Channel = Bits >= 24 ? 8 : 5;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, Channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, Channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, Channel);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, DepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// What the context really got. The game cannot draw without a 16-bit depth buffer; double
// buffering is asked for, but a single-buffered surface (an offscreen pbuffer) still draws
// every frame correctly, so it is not refused.
bool PixelFormatSuitable() {
    int Depth = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &Depth);
    return Depth >= DepthBits;
}

// The GL entry points are the system libGL's; they are usable once a context is current.
void MarkGLReady() {
    GLReady = glGetString(GL_VERSION) != nullptr;
    GLExtensionsReady = GLReady && glGetString(GL_EXTENSIONS) != nullptr;
}

// SDL falls back to its offscreen driver when there is no display at all. A window nobody can
// see is no window: that driver is only accepted when it was asked for by name (tests, servers).
bool VideoDriverVisible() {
    const char* Current = SDL_GetCurrentVideoDriver();
    if (!Current || (std::strcmp(Current, "offscreen") != 0 && std::strcmp(Current, "dummy") != 0))
        return true;
    const char* Asked = std::getenv("SDL_VIDEODRIVER");
    return Asked && std::strstr(Asked, Current) != nullptr;
}

// The display the window is on (the first one before there is a window), in desktop pixels.
SDL_Rect DisplayBounds(SDL_Window* Window) {
    SDL_Rect Bounds = {0, 0, 0, 0};
    const int Display = Window ? SDL_GetWindowDisplayIndex(Window) : 0;
    SDL_GetDisplayBounds(Display < 0 ? 0 : Display, &Bounds);
    return Bounds;
}

bool Fail(bool FullScreen, const char* Text) {
    DestroyMainWindow(FullScreen);
    ShowError(Text);
    return false;
}

} // namespace

bool CreateMainWindow(int32_t Width, int32_t Height, bool FullScreen, int32_t Bits) {
    // Starting SDL's video layer takes the place of loading the GL libraries and registering
    // the window class.
    if (!VideoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
            ShowError("Failed to register the window class!");
            return false;
        }
        if (!VideoDriverVisible()) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
            ShowError("Failed to register the window class!");
            return false;
        }
        VideoStarted = true;
    }
    // Full screen covers the desktop at its own resolution: the desktop's mode is never switched,
    // the picture is drawn in the mode's shape and scaled to fit (ResizeViewport).
    if (FullScreen && (WindowedOption || !FullscreenWanted))
        FullScreen = false;
    PictureScaled = FullScreen;
    RequestPixelFormat(Bits);
    Uint32 Flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    if (FullScreen)
        Flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // Full screen the window is also made the display's size itself: a window manager then only
    // lifts it over its panels, and without one (a bare X server) it still covers the screen.
    const SDL_Rect Bounds = DisplayBounds(nullptr);
    if (FullScreen && Bounds.w > 0 && Bounds.h > 0)
        WindowHandle = SDL_CreateWindow(WindowTitle, Bounds.x, Bounds.y, Bounds.w, Bounds.h, Flags);
    else
        WindowHandle = SDL_CreateWindow(WindowTitle, 0, 0, Width, Height, Flags);
    if (!WindowHandle)
        return Fail(FullScreen, "Unable to create window!");
    SDL_ShowCursor(FullScreen ? SDL_DISABLE : SDL_ENABLE);
    RenderContext = MakeRenderContext(WindowHandle);
    if (!RenderContext)
        return Fail(FullScreen, "Unable to create an OpenGL rendering context");
    if (SDL_GL_MakeCurrent(WindowHandle, RenderContext) != 0)
        return Fail(FullScreen, "Unable to activate OpenGL rendering context");
    if (!PixelFormatSuitable())
        return Fail(FullScreen, "Unable to find a suitable pixel format");
    MarkGLReady();
    if (FullScreen)
        OpenPictureBuffer(Width, Height); // else the picture is drawn straight into the window
    StartSecondTimer();
    SDL_ShowWindow(WindowHandle);
    SDL_RaiseWindow(WindowHandle);
    ResizeViewport(Width, Height);
    InitGLState();
    return true;
}

// Every step runs whatever the previous one did. Released handles are cleared, so a second
// call (a failed open followed by a display-mode change) never releases anything twice.
void DestroyMainWindow(bool RestoreDisplay) {
    if (RestoreDisplay) {
        if (WindowHandle)
            SDL_SetWindowFullscreen(WindowHandle, 0);
        SDL_ShowCursor(SDL_ENABLE);
    }
    if (RenderContext) {
        ClosePictureBuffer();
        if (SDL_GL_MakeCurrent(WindowHandle, nullptr) != 0)
            ShowError("Release of DC and RC failed!");
        SDL_GL_DeleteContext(RenderContext);
        RenderContext = nullptr;
    }
    GLReady = false;
    GLExtensionsReady = false;
    StopSecondTimer();
    if (WindowHandle) {
        SDL_DestroyWindow(WindowHandle);
        WindowHandle = nullptr;
    }
    if (VideoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
        VideoStarted = false;
    }
}

PictureRect FitPicture(int32_t OuterW, int32_t OuterH, int32_t PictureW, int32_t PictureH) {
    if (OuterW <= 0 || OuterH <= 0 || PictureW <= 0 || PictureH <= 0)
        return {0, 0, OuterW, OuterH};
    // Full width unless that makes the picture too tall; sizes rounded down, never past Outer.
    int32_t W = OuterW;
    int32_t H = int32_t(int64_t(OuterW) * PictureH / PictureW);
    if (H > OuterH) {
        H = OuterH;
        W = int32_t(int64_t(OuterH) * PictureW / PictureH);
    }
    return {(OuterW - W) / 2, (OuterH - H) / 2, W, H};
}

void WindowToPicture(float& X, float& Y) {
    if (!PictureScaled || Picture.Width <= 0 || Picture.Height <= 0)
        return;
    X = (X - float(Picture.X)) * float(ScreenWidth) / float(Picture.Width);
    Y = (Y - float(Picture.Y)) * float(ScreenHeight) / float(Picture.Height);
}

void ToggleFullScreen() {
    if (!WindowHandle)
        return;
    const bool Full = !PictureScaled;
    if (Full) {
        const SDL_Rect Bounds = DisplayBounds(WindowHandle);
        SDL_SetWindowPosition(WindowHandle, Bounds.x, Bounds.y);
        SDL_SetWindowSize(WindowHandle, Bounds.w, Bounds.h);
    }
    if (SDL_SetWindowFullscreen(WindowHandle, Full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return;
    FullscreenWanted = Full;
    PictureScaled = Full;
    if (Full) {
        WindowedOption = false; // the player's own choice outlasts --windowed at the next mode change
        OpenPictureBuffer(ScreenWidth, ScreenHeight);
    } else {
        ClosePictureBuffer();
        SDL_SetWindowSize(WindowHandle, ScreenWidth, ScreenHeight);
    }
    SDL_ShowCursor(Full ? SDL_DISABLE : SDL_ENABLE);
    // The window manager may answer later; its size event places the picture again.
    int W = 0, H = 0;
    SDL_GL_GetDrawableSize(WindowHandle, &W, &H);
    ResizeViewport(W, H);
}

void ResizeViewport(int32_t Width, int32_t Height) {
    // Full screen, the window is the desktop's size whatever the caller passed (the mode's).
    if (PictureScaled && WindowHandle) {
        int W = 0, H = 0;
        SDL_GL_GetDrawableSize(WindowHandle, &W, &H);
        Width = W;
        Height = H;
    }
    if (Height == 0)
        Height = 1;
    Picture = PictureScaled ? FitPicture(Width, Height, ScreenWidth, ScreenHeight)
                            : PictureRect{0, 0, Width, Height};
    WindowPixelHeight = Height;
    if (Picture.Height <= 0)
        Picture.Height = 1;
    // The off-screen picture is drawn whole at the mode's size and scaled at the swap. Without
    // it, the fitted part of the window is drawn directly (GL counts the viewport from the
    // bottom; the bars around it stay as glClear left them).
    if (PictureBuffered)
        glViewport(0, 0, BufferWidth, BufferHeight);
    else
        glViewport(Picture.X, Height - Picture.Y - Picture.Height, Picture.Width, Picture.Height);
    const double Aspect = PictureBuffered ? double(BufferWidth) / double(BufferHeight)
                                          : double(Picture.Width) / double(Picture.Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FieldOfView, Aspect, 0.1, 1500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The models' default frustum replaces the perspective until the next SetOverlayMode.
    clsAnimate::SetProjection();
}

void ChangeDisplayMode(int16_t Number) {
    if (Number == ResolutionApplied)
        return;
    const bool    HadWindow = WindowHandle != nullptr;
    const int32_t OldWidth = ScreenWidth;
    const int32_t OldHeight = ScreenHeight;
    if (Number >= 1 && Number <= ResolutionCount) {
        ScreenWidth = Resolutions[Number].Width;
        ScreenHeight = Resolutions[Number].Height;
    }
    if (!FirstStart)
        DestroyMainWindow(false);
    if (!CreateMainWindow(ScreenWidth, ScreenHeight, true, 32)) {
        // The error has been shown. A window that worked a moment ago is opened again in its
        // old mode, so the game never runs on without one; the menu shows that mode again.
        if (!HadWindow)
            return;
        ScreenWidth = OldWidth;
        ScreenHeight = OldHeight;
        if (ResolutionApplied >= 1 && ResolutionApplied <= ResolutionCount)
            ResolutionWanted = ResolutionApplied;
        if (!CreateMainWindow(ScreenWidth, ScreenHeight, true, 32)) {
            QuitRequested = true; // no mode opens: the program ends through its shut-down
            return;
        }
        Number = int16_t(ResolutionApplied);
    }
    ResizeViewport(ScreenWidth, ScreenHeight);
    ResolutionApplied = Number;
    LoadTextures(); // the textures died with the old context
}

void SwapMainWindow() {
    ShowPictureBuffer(Picture, WindowPixelHeight);
    if (WindowHandle)
        SDL_GL_SwapWindow(WindowHandle);
}

void SetSwapWait(bool Wait) { SDL_GL_SetSwapInterval(Wait ? 1 : 0); }
