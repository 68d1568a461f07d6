// Texture upload: new OpenGL textures with the game's filters and anisotropy, made from a
// decoded picture (mipmaps filtered here) or from mipmap levels kept from an earlier upload.
#pragma once
#include <GL/gl.h>
#include <cstdint>
#include <vector>

// One mipmap level of a texture as OpenGL holds it.
struct MipLevel {
    GLsizei              Width;  // pixels
    GLsizei              Height; // pixels
    std::vector<uint8_t> Pixels; // tightly packed rows
};

// Makes a texture of the pixels (GL_RGB or GL_RGBA, bottom row first) with a full mipmap
// chain, GL_MODULATE, the two filters and the anisotropy parameter; returns its name.
GLuint UploadTexture(uint16_t Width, uint16_t Height, GLenum Format, const uint8_t* Pixels,
                     uint16_t MagFilter, uint16_t MinFilter, double Anisotropy);

// Every level of the bound texture in Format (GL_RGB or GL_RGBA), level 0 first; false when
// OpenGL reports an error or the texture has no level.
bool ReadTextureLevels(GLenum Format, std::vector<MipLevel>& Levels);

// A new texture of the given levels as they are (no filtering), with the two filters and the
// anisotropy parameter; returns its name.
GLuint UploadTextureLevels(GLenum Format, const std::vector<MipLevel>& Levels, uint16_t MagFilter,
                           uint16_t MinFilter, double Anisotropy);
