// The texture cache: the mipmap levels of every texture file uploaded in this run, kept so a
// later setup (a new game, a resume, a new context after a display-mode change) uploads the
// same pixels again without reading, decoding or filtering. A file changed on disk (its size
// or time) is not found, so it is decoded anew.
#pragma once
#include <GL/gl.h>
#include <cstdint>
#include <string>

// Keeps the levels of the bound texture, just made from FileName in Format (GL_RGB or GL_RGBA).
void KeepTexture(const std::string& FileName, GLenum Format);

// Makes the texture of a file kept earlier in this run into TexName; false when the file was
// not kept (or has changed since), TexName untouched.
bool UploadKept(const std::string& FileName, GLuint& TexName, uint16_t MagFilter,
                uint16_t MinFilter, double Anisotropy);
