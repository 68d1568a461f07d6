// A real OpenGL context without a display, through SDL's offscreen driver (Mesa via EGL).
#pragma once
#include <cstdint>
#include <vector>

struct SDL_Window;

class clsTestGLContext {
  public:
    clsTestGLContext(int Width = 256, int Height = 256);
    ~clsTestGLContext();
    bool Ready() const { return Context != nullptr; }
    SDL_Window* WindowOf() const { return Window; } // the hidden window the context is made on
    void Swap();
    // RGBA bytes of the back buffer (bottom row first, as glReadPixels gives them).
    std::vector<uint8_t> ReadPixels() const;
    // One pixel at (x, y) counted from the bottom-left corner: {r, g, b, a}.
    std::vector<uint8_t> Pixel(int X, int Y) const;
    int Width, Height;

  private:
    SDL_Window* Window = nullptr;
    void*       Context = nullptr;
};

// A texture of one texel (R, G, B, A) in the current context, sampled nearest and modulated by
// the current colour: a plain surface whose drawn colour is easy to predict.
unsigned PlainTexture(uint8_t R, uint8_t G, uint8_t B, uint8_t A = 255);

// Skips the current test with a message when no GL context could be made.
#define REQUIRE_GL(Ctx)                                                                            \
    do {                                                                                           \
        if (!(Ctx).Ready())                                                                        \
            GTEST_SKIP() << "no OpenGL context available (SDL offscreen driver)";                  \
    } while (0)
