// Image files (24-bit BMP, JPEG, 24-bit uncompressed Targa) into OpenGL textures with full
// mipmap chains, and the game's own texture list.
//
// The loaders read the file, decode it (render/ImageDecoders.h), upload it (or a kept copy of
// an earlier upload, render/TextureCache.h) and report failures through the message layer. A
// failed load leaves the caller's texture name as it was.
#pragma once
#include "render/ImageDecoders.h"
#include "render/TextureUpload.h"
#include <GL/gl.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The game's texture list, loaded by LoadTextures in this order.
extern GLuint TexPointer;     // "textures/pointer.jpg": the mouse pointer
extern GLuint TexNoise1;      // "textures/noise1.jpg": noise, nearest filtering
extern GLuint TexNoise2;      // "textures/noise2.jpg": noise, nearest filtering
extern GLuint TexNoise3;      // "textures/noise3.jpg": noise, nearest filtering
extern GLuint TexSkyFront;    // "skybox/fr.jpg": sky cube face z = 1
extern GLuint TexSkyBack;     // "skybox/bk.jpg": sky cube face z = -1
extern GLuint TexSkyLeft;     // "skybox/lf.jpg": sky cube face x = -1
extern GLuint TexSkyRight;    // "skybox/rt.jpg": sky cube face x = 1
extern GLuint TexSkyUp;       // "skybox/up.jpg": sky cube face y = 1
extern GLuint TexTree;        // "textures/tree.jpg": tree billboards
extern GLuint TexParticle;    // "textures/particle2.jpg": sparks and particles
extern GLuint TexSmoke;       // "textures/smoke.jpg": smoke puffs
extern GLuint TexFloor;       // "textures/floor.jpg": the arena wall
extern GLuint TexCliffBottom; // "textures/cliffbottom.jpg": the ground
extern GLuint TexShot;        // "textures/shot.jpg": flying shots
extern GLuint TexExplosion;   // "textures/explosion.jpg": 4 x 4 explosion atlas

// One entry of the texture list: file, the variable it fills, and its two filters.
struct TextureFile {
    const char* FileName;  // relative to the working directory
    GLuint*     TexName;   // the variable that receives the texture name
    uint16_t    MagFilter; // GL_LINEAR or GL_NEAREST
    uint16_t    MinFilter; // GL_LINEAR, GL_NEAREST or GL_LINEAR_MIPMAP_NEAREST
};
constexpr int32_t TextureFileCount = 16;                 // entries of TextureFiles
extern const TextureFile TextureFiles[TextureFileCount]; // in loading order

// Loads FileName into a new texture and stores its name in TexName. The branch is chosen by
// the last four characters, case-sensitively: ".bmp", ".jpg" or ".tga"; any other ending does
// nothing. FromResource asks for the program's own module resources, of which there are none.
void LoadTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                 uint16_t MagFilter, uint16_t MinFilter, double Anisotropy);
bool LoadBmpTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy);
bool LoadJpgTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy);
bool LoadTgaTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy);

// Logs "Loading textures..." and loads the 16 files of TextureFiles in order with the
// Anisotropy setting. A variable's texture of an earlier load is deleted once it is replaced.
void LoadTextures();
