// The texture loaders (file, decoder, cache or upload, the game's message on failure) and the
// game's texture list.
#include "render/Textures.h"

#include "core/EventLog.h"
#include "core/SettingValues.h"
#include "platform/Platform.h"
#include "render/TextureCache.h"

#include <filesystem>
#include <fstream>

GLuint TexPointer = 0;
GLuint TexNoise1 = 0;
GLuint TexNoise2 = 0;
GLuint TexNoise3 = 0;
GLuint TexSkyFront = 0;
GLuint TexSkyBack = 0;
GLuint TexSkyLeft = 0;
GLuint TexSkyRight = 0;
GLuint TexSkyUp = 0;
GLuint TexTree = 0;
GLuint TexParticle = 0;
GLuint TexSmoke = 0;
GLuint TexFloor = 0;
GLuint TexCliffBottom = 0;
GLuint TexShot = 0;
GLuint TexExplosion = 0;

const TextureFile TextureFiles[TextureFileCount] = {
    {"textures/pointer.jpg", &TexPointer, GL_LINEAR, GL_LINEAR},
    {"textures/noise1.jpg", &TexNoise1, GL_NEAREST, GL_NEAREST},
    {"textures/noise2.jpg", &TexNoise2, GL_NEAREST, GL_NEAREST},
    {"textures/noise3.jpg", &TexNoise3, GL_NEAREST, GL_NEAREST},
    {"skybox/fr.jpg", &TexSkyFront, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"skybox/bk.jpg", &TexSkyBack, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"skybox/lf.jpg", &TexSkyLeft, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"skybox/rt.jpg", &TexSkyRight, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"skybox/up.jpg", &TexSkyUp, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/tree.jpg", &TexTree, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/particle2.jpg", &TexParticle, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/smoke.jpg", &TexSmoke, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/floor.jpg", &TexFloor, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/cliffbottom.jpg", &TexCliffBottom, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/shot.jpg", &TexShot, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    {"textures/explosion.jpg", &TexExplosion, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
};

// ---- Loaders -------------------------------------------------------------------------------

namespace {

enum class FileRead { Done, Missing, Unreadable };

// The whole file into Bytes. Missing: there is no such file; Unreadable: it exists but is not
// a regular file or cannot be read.
FileRead ReadWholeFile(const std::string& FileName, std::vector<uint8_t>& Bytes) {
    namespace fs = std::filesystem;
    const fs::path  Path(NativePath(FileName));
    std::error_code Error;
    const fs::file_status Status = fs::status(Path, Error);
    if (!fs::exists(Status))
        return FileRead::Missing;
    if (!fs::is_regular_file(Status))
        return FileRead::Unreadable;
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        return FileRead::Unreadable;
    try {
        File.seekg(0, std::ios::end);
        const std::streamoff Length = File.tellg();
        if (Length < 0)
            return FileRead::Unreadable;
        File.seekg(0, std::ios::beg);
        Bytes.resize(size_t(Length));
        if (Length > 0 && !File.read(reinterpret_cast<char*>(Bytes.data()), Length))
            return FileRead::Unreadable;
    } catch (const std::exception&) {
        return FileRead::Unreadable;
    }
    return FileRead::Done;
}

// The game's modules carry no image resources, so a resource is never found.
bool RefuseResource(const std::string& FileName, const char* Caption) {
    ShowMessage("File not found in resource - " + FileName, Caption);
    return false;
}

bool Upload(const std::string& FileName, const Image_Rec& Image, GLuint& TexName,
            uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    const GLenum Format = Image.Channels == 4 ? GL_RGBA : GL_RGB;
    TexName = UploadTexture(uint16_t(Image.Width), uint16_t(Image.Height), Format,
                            Image.Pixels.data(), MagFilter, MinFilter, Anisotropy);
    KeepTexture(FileName, Format);
    return true;
}

std::string Quoted(const std::string& Text) { return "\"" + Text + "\""; }

} // namespace

namespace {

// The steps the three formats share: a resource is refused (the message captioned
// ResourceCaption), a picture the cache kept is uploaded again, otherwise Decode reads and
// decodes the file into an image, showing the format's own message when it cannot.
template <class F>
bool LoadTextureFile(const std::string& FileName, GLuint& TexName, bool FromResource,
                     const char* ResourceCaption, uint16_t MagFilter, uint16_t MinFilter,
                     double Anisotropy, F Decode) {
    if (FromResource)
        return RefuseResource(FileName, ResourceCaption);
    if (UploadKept(FileName, TexName, MagFilter, MinFilter, Anisotropy))
        return true;
    Image_Rec Image;
    if (!Decode(Image))
        return false;
    return Upload(FileName, Image, TexName, MagFilter, MinFilter, Anisotropy);
}

} // namespace

bool LoadBmpTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    return LoadTextureFile(FileName, TexName, FromResource, "BMP Texture", MagFilter, MinFilter,
                           Anisotropy, [&](Image_Rec& Image) {
        std::vector<uint8_t> Bytes;
        if (ReadWholeFile(FileName, Bytes) != FileRead::Done) {
            ShowMessage("Error opening " + FileName, "BMP Unit");
            return false;
        }
        ImageFault Fault;
        if (!DecodeBmp(Bytes.data(), Bytes.size(), Image, Fault)) {
            ShowMessage(Fault == ImageFault::BmpPalette ? "Error reading palette"
                                                        : "Error reading bitmap data",
                        "BMP Unit");
            return false;
        }
        return true;
    });
}

bool LoadJpgTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    return LoadTextureFile(FileName, TexName, FromResource, "JPG Texture", MagFilter, MinFilter,
                           Anisotropy, [&](Image_Rec& Image) {
        std::vector<uint8_t> Bytes;
        ImageFault           Fault;
        if (ReadWholeFile(FileName, Bytes) != FileRead::Done ||
            !DecodeJpg(Bytes.data(), Bytes.size(), Image, Fault)) {
            ShowMessage("Couldn't load JPG - " + Quoted(FileName), "BMP Unit");
            return false;
        }
        return true;
    });
}

bool LoadTgaTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    return LoadTextureFile(FileName, TexName, FromResource, "TGA Texture", MagFilter, MinFilter,
                           Anisotropy, [&](Image_Rec& Image) {
        std::vector<uint8_t> Bytes;
        const FileRead       Read = ReadWholeFile(FileName, Bytes);
        if (Read == FileRead::Missing) {
            ShowMessage("File not found  - " + FileName, "TGA Texture");
            return false;
        }
        ImageFault Fault = ImageFault::TgaShort;
        if (Read != FileRead::Done || !DecodeTga(Bytes.data(), Bytes.size(), Image, Fault)) {
            const std::string Prefix = "Couldn't load " + Quoted(FileName);
            std::string       Text = "Couldn't read file " + Quoted(FileName) + ".";
            if (Fault == ImageFault::TgaCompressed)
                Text = Prefix + ". Compressed TGA files not supported.";
            else if (Fault == ImageFault::TgaColourMapped)
                Text = Prefix + ". Colormapped TGA files not supported.";
            else if (Fault == ImageFault::TgaDepth)
                Text = Prefix + ". Only 24 bit TGA files supported.";
            ShowMessage(Text, "TGA File Error");
            return false;
        }
        return true;
    });
}

void LoadTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                 uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    if (FileName.size() < 4)
        return;
    const std::string Extension = FileName.substr(FileName.size() - 4);
    if (Extension == ".bmp")
        LoadBmpTexture(FileName, TexName, FromResource, MagFilter, MinFilter, Anisotropy);
    else if (Extension == ".jpg")
        LoadJpgTexture(FileName, TexName, FromResource, MagFilter, MinFilter, Anisotropy);
    else if (Extension == ".tga")
        LoadTgaTexture(FileName, TexName, FromResource, MagFilter, MinFilter, Anisotropy);
}

// A variable's texture of the previous load is deleted once the variable holds a new one. After
// a display-mode change the old names belong to the destroyed context: LoadTextures is then the
// first to make textures in the new one, so a name that exists there and was not made by this
// pass cannot be one of ours, and glIsTexture turns the stale names into no-ops.
void LoadTextures() {
    AddLogLine("Loading textures...", 1.0, 1.0, 1.0);
    GLuint Made[TextureFileCount] = {};
    for (int32_t I = 0; I < TextureFileCount; ++I) {
        const TextureFile& Entry = TextureFiles[I];
        const GLuint       Old = *Entry.TexName;
        LoadTexture(Entry.FileName, *Entry.TexName, false, Entry.MagFilter, Entry.MinFilter,
                    Anisotropy);
        if (*Entry.TexName == Old)
            continue; // not loaded: the old texture stays in use
        Made[I] = *Entry.TexName;
        if (Old == 0 || !glIsTexture(Old))
            continue;
        bool MadeNow = false;
        for (int32_t J = 0; J < I; ++J)
            MadeNow = MadeNow || Made[J] == Old;
        if (!MadeNow)
            glDeleteTextures(1, &Old);
    }
}
