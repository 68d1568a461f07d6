// The full-screen picture as a framebuffer object with colour and depth renderbuffers, shown by
// a linear-filtered blit. The entry points are fetched at run time: the game otherwise needs only
// OpenGL 1.1, and a driver without them keeps the direct drawing.
#include "shell/PictureBuffer.h"

#include "shell/Window.h"

#include <SDL.h>
#include <SDL_opengl.h>

bool    PictureBuffered = false;
int32_t BufferWidth = 0;
int32_t BufferHeight = 0;

namespace {

// Null until FetchEntryPoints finds them (namespace-scope pointers start zeroed).
PFNGLGENFRAMEBUFFERSPROC         GenFramebuffers;
PFNGLDELETEFRAMEBUFFERSPROC      DeleteFramebuffers;
PFNGLBINDFRAMEBUFFERPROC         BindFramebuffer;
PFNGLGENRENDERBUFFERSPROC        GenRenderbuffers;
PFNGLDELETERENDERBUFFERSPROC     DeleteRenderbuffers;
PFNGLBINDRENDERBUFFERPROC        BindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC     RenderbufferStorage;
PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
PFNGLCHECKFRAMEBUFFERSTATUSPROC  CheckFramebufferStatus;
PFNGLBLITFRAMEBUFFERPROC         BlitFramebuffer;

GLuint Framebuffer = 0;
GLuint Renderbuffers[2] = {0, 0}; // colour, depth

template <class F> bool Fetch(F& Entry, const char* Name) {
    Entry = reinterpret_cast<F>(SDL_GL_GetProcAddress(Name));
    return Entry != nullptr;
}

// The entry points of the current context (they may differ between contexts).
bool FetchEntryPoints() {
    return Fetch(GenFramebuffers, "glGenFramebuffers") &&
           Fetch(DeleteFramebuffers, "glDeleteFramebuffers") &&
           Fetch(BindFramebuffer, "glBindFramebuffer") &&
           Fetch(GenRenderbuffers, "glGenRenderbuffers") &&
           Fetch(DeleteRenderbuffers, "glDeleteRenderbuffers") &&
           Fetch(BindRenderbuffer, "glBindRenderbuffer") &&
           Fetch(RenderbufferStorage, "glRenderbufferStorage") &&
           Fetch(FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           Fetch(CheckFramebufferStatus, "glCheckFramebufferStatus") &&
           Fetch(BlitFramebuffer, "glBlitFramebuffer");
}

bool VersionAtLeast3() {
    const char* Version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return Version && Version[0] >= '3' && Version[0] <= '9';
}

} // namespace

bool OpenPictureBuffer(int32_t Width, int32_t Height) {
    ClosePictureBuffer();
    if (Width <= 0 || Height <= 0 || !VersionAtLeast3() || !FetchEntryPoints())
        return false;
    GenFramebuffers(1, &Framebuffer);
    GenRenderbuffers(2, Renderbuffers);
    BindRenderbuffer(GL_RENDERBUFFER, Renderbuffers[0]);
    RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, Width, Height);
    BindRenderbuffer(GL_RENDERBUFFER, Renderbuffers[1]);
    RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, Width, Height);
    BindRenderbuffer(GL_RENDERBUFFER, 0);
    BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
    FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, Renderbuffers[0]);
    FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, Renderbuffers[1]);
    if (CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        ClosePictureBuffer();
        return false;
    }
    PictureBuffered = true;
    BufferWidth = Width;
    BufferHeight = Height;
    return true;
}

void ClosePictureBuffer() {
    if (Framebuffer != 0) {
        BindFramebuffer(GL_FRAMEBUFFER, 0);
        DeleteFramebuffers(1, &Framebuffer);
        DeleteRenderbuffers(2, Renderbuffers);
    }
    Framebuffer = 0;
    Renderbuffers[0] = Renderbuffers[1] = 0;
    PictureBuffered = false;
    BufferWidth = BufferHeight = 0;
}

void ShowPictureBuffer(const PictureRect& Where, int32_t WindowHeight) {
    if (!PictureBuffered)
        return;
    BindFramebuffer(GL_READ_FRAMEBUFFER, Framebuffer);
    BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLfloat Clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, Clear);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(Clear[0], Clear[1], Clear[2], Clear[3]);
    const int32_t Bottom = WindowHeight - Where.Y - Where.Height;
    BlitFramebuffer(0, 0, BufferWidth, BufferHeight, Where.X, Bottom, Where.X + Where.Width,
                    Bottom + Where.Height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
}
