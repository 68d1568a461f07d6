// Image files (24-bit BMP, JPEG, 24-bit uncompressed Targa) into OpenGL textures with full
// mipmap chains, and the game's own texture list.
//
// Conventions: decoded pixels are one block of Width x Height pixels whose first row is the
// bottom row of the picture (OpenGL's t = 0), 3 bytes (R, G, B) or 4 bytes (R, G, B, A) each.
// The decoders work on memory and touch no OpenGL state; the loaders read the file, decode,
// upload and report failures through the message layer. A failed load leaves the caller's
// texture name as it was.
#pragma once
#include <GL/gl.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t MaxImageSide = 8192; // widest and tallest picture a decoder accepts, pixels

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

// A decoded picture, bottom row first.
struct Image_Rec {
    int32_t              Width = 0;    // pixels
    int32_t              Height = 0;   // pixels
    int32_t              Channels = 0; // bytes per pixel: 3 (RGB) or 4 (RGBA)
    std::vector<uint8_t> Pixels;       // Width * Height * Channels bytes
};

// Why a decoder refused its input; the loaders turn it into the game's message.
enum class ImageFault {
    None,
    BmpPalette,      // the palette the header names is not in the data
    BmpData,         // bad header or pixel data missing
    JpegDecode,      // libjpeg failed or the picture is too large
    TgaShort,        // header or pixel data missing, or a picture of no pixels
    TgaCompressed,   // image type other than 2
    TgaColourMapped, // a colour map is present
    TgaDepth         // pixel depth other than 24
};

// The decoders: Data/Size is the whole file. On success Image holds the picture bottom row
// first and the result is true; on failure Fault says why and Image is left empty.
bool DecodeBmp(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault);
bool DecodeJpg(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault);
bool DecodeTga(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault);

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

// Makes a texture of the pixels (GL_RGB or GL_RGBA, bottom row first) with a full mipmap
// chain, GL_MODULATE, the two filters and the anisotropy parameter; returns its name.
GLuint UploadTexture(uint16_t Width, uint16_t Height, GLenum Format, const uint8_t* Pixels,
                     uint16_t MagFilter, uint16_t MinFilter, double Anisotropy);

// Logs "Loading textures..." and loads the 16 files of TextureFiles in order with the
// Anisotropy setting. A variable's texture of an earlier load is deleted once it is replaced.
void LoadTextures();
