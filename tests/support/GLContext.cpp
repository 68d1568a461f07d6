#include "support/GLContext.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <cstdio>

clsTestGLContext::clsTestGLContext(int W, int H) : Width(W), Height(H) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL video init failed: %s\n", SDL_GetError());
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    Window = SDL_CreateWindow("test", 0, 0, W, H, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!Window) {
        std::fprintf(stderr, "SDL window failed: %s\n", SDL_GetError());
        return;
    }
    Context = SDL_GL_CreateContext(Window);
    if (!Context) {
        std::fprintf(stderr, "GL context failed: %s\n", SDL_GetError());
        return;
    }
    SDL_GL_MakeCurrent(Window, Context);
    glViewport(0, 0, W, H);
}

clsTestGLContext::~clsTestGLContext() {
    if (Context)
        SDL_GL_DeleteContext(Context);
    if (Window)
        SDL_DestroyWindow(Window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void clsTestGLContext::Swap() { SDL_GL_SwapWindow(Window); }

std::vector<uint8_t> clsTestGLContext::ReadPixels() const {
    std::vector<uint8_t> Pixels(size_t(Width) * Height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Pixels.data());
    return Pixels;
}

std::vector<uint8_t> clsTestGLContext::Pixel(int X, int Y) const {
    std::vector<uint8_t> P(4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(X, Y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, P.data());
    return P;
}

unsigned PlainTexture(uint8_t R, uint8_t G, uint8_t B, uint8_t A) {
    const uint8_t Texel[4] = {R, G, B, A};
    GLuint        Name = 0;
    glGenTextures(1, &Name);
    glBindTexture(GL_TEXTURE_2D, Name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, Texel);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return Name;
}
