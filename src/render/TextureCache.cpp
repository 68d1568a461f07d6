// The texture cache: kept mipmap levels of the files uploaded in this run, keyed by file stamp.
#include "render/TextureCache.h"
#include "platform/Platform.h"
#include "render/TextureUpload.h"

#include <filesystem>
#include <vector>

namespace {

// The file's size and time are part of the key: a file changed on disk is decoded anew.
struct KeptTexture {
    std::string                     Path;   // absolute file name
    std::uintmax_t                  Size;   // bytes of the file when it was decoded
    std::filesystem::file_time_type Time;   // its modification time then
    GLenum                          Format; // GL_RGB or GL_RGBA
    std::vector<MipLevel>           Levels; // level 0 first
};
std::vector<KeptTexture> KeptTextures;

bool StampFile(const std::string& FileName, KeptTexture& Stamp) {
    namespace fs = std::filesystem;
    std::error_code Error;
    const fs::path  Path = fs::absolute(fs::path(NativePath(FileName)), Error);
    if (Error)
        return false;
    Stamp.Path = Path.string();
    Stamp.Size = fs::file_size(Path, Error);
    if (Error)
        return false;
    Stamp.Time = fs::last_write_time(Path, Error);
    return !Error;
}

const KeptTexture* FindKeptTexture(const std::string& FileName) {
    KeptTexture Stamp;
    if (!StampFile(FileName, Stamp))
        return nullptr;
    for (const KeptTexture& Kept : KeptTextures)
        if (Kept.Path == Stamp.Path && Kept.Size == Stamp.Size && Kept.Time == Stamp.Time)
            return &Kept;
    return nullptr;
}

} // namespace

// Reads back every level of the bound texture into a new entry for FileName.
void KeepTexture(const std::string& FileName, GLenum Format) {
    KeptTexture Kept;
    if (!StampFile(FileName, Kept))
        return;
    Kept.Format = Format;
    if (ReadTextureLevels(Format, Kept.Levels))
        KeptTextures.push_back(std::move(Kept));
}

// The texture of a file uploaded before in this run, made again from its kept levels.
bool UploadKept(const std::string& FileName, GLuint& TexName, uint16_t MagFilter,
                uint16_t MinFilter, double Anisotropy) {
    const KeptTexture* Kept = FindKeptTexture(FileName);
    if (!Kept)
        return false;
    TexName = UploadTextureLevels(Kept->Format, Kept->Levels, MagFilter, MinFilter, Anisotropy);
    return true;
}
