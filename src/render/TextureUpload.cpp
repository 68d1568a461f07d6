// Texture upload: decoded pictures and kept mipmap levels into new OpenGL textures.
#include "render/TextureUpload.h"

#include <GL/glu.h>
#include <cstddef>

#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif

namespace {

constexpr GLint MaxMipLevels = 16; // more than a 32768-pixel side would need

// A new texture bound, with the filters and the anisotropy every game texture is made with.
GLuint BeginTexture(uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    GLuint Name = 0;
    glGenTextures(1, &Name);
    glBindTexture(GL_TEXTURE_2D, Name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, MagFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, MinFilter);
    // Set on every texture, extension or not. 0 ("off") is refused by OpenGL and leaves the
    // default in force; the error that refusal raises is cleared so no later check trips on it.
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, GLfloat(Anisotropy));
    glGetError();
    return Name;
}

} // namespace

GLuint UploadTexture(uint16_t Width, uint16_t Height, GLenum Format, const uint8_t* Pixels,
                     uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    const GLuint Name = BeginTexture(MagFilter, MinFilter, Anisotropy);
    // The decoders pack rows tightly: an RGB row need not be a multiple of 4 bytes.
    GLint Alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &Alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (Format == GL_RGBA)
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Pixels);
    else
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, Pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, Alignment);
    return Name;
}

bool ReadTextureLevels(GLenum Format, std::vector<MipLevel>& Levels) {
    const GLint Bytes = Format == GL_RGBA ? 4 : 3;
    GLint       Alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &Alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (GLint Level = 0; Level < MaxMipLevels; ++Level) {
        GLint W = 0, H = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, Level, GL_TEXTURE_WIDTH, &W);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, Level, GL_TEXTURE_HEIGHT, &H);
        if (W <= 0 || H <= 0)
            break;
        MipLevel L{W, H, std::vector<uint8_t>(size_t(W) * size_t(H) * size_t(Bytes))};
        glGetTexImage(GL_TEXTURE_2D, Level, Format, GL_UNSIGNED_BYTE, L.Pixels.data());
        Levels.push_back(std::move(L));
    }
    glPixelStorei(GL_PACK_ALIGNMENT, Alignment);
    return glGetError() == GL_NO_ERROR && !Levels.empty();
}

GLuint UploadTextureLevels(GLenum Format, const std::vector<MipLevel>& Levels, uint16_t MagFilter,
                           uint16_t MinFilter, double Anisotropy) {
    const GLuint Name = BeginTexture(MagFilter, MinFilter, Anisotropy);
    GLint        Alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &Alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint Internal = Format == GL_RGBA ? GL_RGBA : 3;
    for (size_t Level = 0; Level < Levels.size(); ++Level) {
        const MipLevel& L = Levels[Level];
        glTexImage2D(GL_TEXTURE_2D, GLint(Level), Internal, L.Width, L.Height, 0, Format,
                     GL_UNSIGNED_BYTE, L.Pixels.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, Alignment);
    return Name;
}
