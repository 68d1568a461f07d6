// Image decoding (BMP, JPEG through libjpeg, Targa), texture upload and the game's texture list.
#include "render/Textures.h"

#include "menu/Settings.h"
#include "platform/Platform.h"
#include "world/EventLog.h"

#include <GL/glu.h>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>

#include <jpeglib.h>

#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#endif

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

namespace {

uint16_t ReadU16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
uint32_t ReadU32(const uint8_t* P) {
    return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
int32_t ReadS32(const uint8_t* P) { return int32_t(ReadU32(P)); }

// Copies Rows rows of Width BGR pixels from Source (rows Stride bytes apart) into Image as RGB.
// With Flip the first source row becomes the last image row.
void CopyBgrRows(const uint8_t* Source, size_t Stride, int32_t Width, int32_t Rows, bool Flip,
                 Image_Rec& Image) {
    Image.Width = Width;
    Image.Height = Rows;
    Image.Channels = 3;
    Image.Pixels.resize(size_t(Width) * size_t(Rows) * 3);
    for (int32_t Row = 0; Row < Rows; ++Row) {
        const uint8_t* In = Source + size_t(Row) * Stride;
        uint8_t*       Out = Image.Pixels.data() + size_t(Flip ? Rows - 1 - Row : Row) * Width * 3;
        for (int32_t X = 0; X < Width; ++X, In += 3, Out += 3) {
            Out[0] = In[2];
            Out[1] = In[1];
            Out[2] = In[0];
        }
    }
}

bool Refuse(ImageFault Why, Image_Rec& Image, ImageFault& Fault) {
    Image = Image_Rec{};
    Fault = Why;
    return false;
}

} // namespace

// ---- BMP ----------------------------------------------------------------------------------

namespace {
constexpr size_t BmpFileHeaderSize = 14; // "BM", file size, reserved, pixel-data offset
constexpr size_t BmpInfoHeaderSize = 40; // the Windows 3 information header
} // namespace

bool DecodeBmp(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault) {
    Fault = ImageFault::None;
    if (Size < BmpFileHeaderSize + BmpInfoHeaderSize || Data[0] != 'B' || Data[1] != 'M')
        return Refuse(ImageFault::BmpData, Image, Fault);
    const uint8_t* Info = Data + BmpFileHeaderSize;
    const uint32_t InfoSize = ReadU32(Info);
    const int32_t  Width = ReadS32(Info + 4);
    const int32_t  Height = ReadS32(Info + 8); // negative would mean top-down: refused
    const uint16_t BitCount = ReadU16(Info + 14);
    const uint32_t Compression = ReadU32(Info + 16);
    const uint32_t ImageSize = ReadU32(Info + 20);
    const uint32_t ColoursUsed = ReadU32(Info + 32);
    // Later header versions (V4, V5) are longer; their extra fields are skipped unread.
    if (InfoSize < BmpInfoHeaderSize || InfoSize > Size - BmpFileHeaderSize || BitCount != 24 ||
        Compression != 0 || Width <= 0 || Height <= 0 || Width > MaxImageSide ||
        Height > MaxImageSide)
        return Refuse(ImageFault::BmpData, Image, Fault);
    size_t Position = BmpFileHeaderSize + InfoSize;
    // The palette is as many bytes as the colours-used field says (0 in a 24-bit file), unused.
    if (ColoursUsed > Size - Position)
        return Refuse(ImageFault::BmpPalette, Image, Fault);
    Position += ColoursUsed;
    // Rows are padded to whole 4-byte words.
    const size_t Stride = (size_t(Width) * 3 + 3) & ~size_t(3);
    const size_t Needed = Stride * size_t(Height);
    if (Needed > Size - Position || ImageSize > Size - Position)
        return Refuse(ImageFault::BmpData, Image, Fault);
    CopyBgrRows(Data + Position, Stride, Width, Height, false, Image);
    return true;
}

// ---- Targa ---------------------------------------------------------------------------------

namespace {
constexpr size_t  TgaHeaderSize = 18;
constexpr uint8_t TgaTrueColour = 2;   // image type: uncompressed true-colour
constexpr uint8_t TgaTopOrigin = 0x20; // image descriptor bit: first row is the top row
} // namespace

bool DecodeTga(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault) {
    Fault = ImageFault::None;
    if (Size < TgaHeaderSize)
        return Refuse(ImageFault::TgaShort, Image, Fault);
    if (Data[2] != TgaTrueColour)
        return Refuse(ImageFault::TgaCompressed, Image, Fault);
    if (Data[1] != 0)
        return Refuse(ImageFault::TgaColourMapped, Image, Fault);
    const int32_t Width = ReadU16(Data + 12);
    const int32_t Height = ReadU16(Data + 14);
    if (Data[16] != 24)
        return Refuse(ImageFault::TgaDepth, Image, Fault);
    // The image-ID field (its length is byte 0) lies between the header and the pixels.
    const size_t Position = TgaHeaderSize + Data[0];
    const size_t Needed = size_t(Width) * size_t(Height) * 3;
    if (Width == 0 || Height == 0 || Position > Size || Needed > Size - Position)
        return Refuse(ImageFault::TgaShort, Image, Fault);
    const bool TopDown = (Data[17] & TgaTopOrigin) != 0;
    CopyBgrRows(Data + Position, size_t(Width) * 3, Width, Height, TopDown, Image);
    return true;
}

// ---- JPEG ----------------------------------------------------------------------------------

namespace {

// libjpeg's own error handler ends the process; this one jumps back into DecodeJpg instead.
struct JpegErrorManager {
    jpeg_error_mgr Base; // must stay first: libjpeg hands back a pointer to it
    std::jmp_buf   Jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr Info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(Info->err)->Jump, 1);
}

// A warning means corrupt data that libjpeg would patch over (a truncated file decodes with a
// grey bottom): such a file is refused like a broken one. Trace messages are ignored.
void JpegEmitMessage(j_common_ptr Info, int Level) {
    if (Level < 0)
        JpegErrorExit(Info);
}

void JpegOutputMessage(j_common_ptr) {}

// A progressive file may announce scan after scan, each costing a pass over the picture; far
// more than any encoder writes means a hostile or broken file.
constexpr int MaxJpegScans = 500;

void JpegProgress(j_common_ptr Info) {
    if (Info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(Info)->input_scan_number > MaxJpegScans)
        JpegErrorExit(Info);
}

// One decoded scan line (in the output colour space) into an RGBA row.
void ConvertJpegRow(const jpeg_decompress_struct& Info, const uint8_t* In, uint8_t* Out) {
    for (JDIMENSION X = 0; X < Info.output_width; ++X, Out += 4) {
        if (Info.out_color_space == JCS_GRAYSCALE) {
            Out[0] = Out[1] = Out[2] = In[0];
            In += 1;
        } else if (Info.out_color_space == JCS_CMYK) {
            // Adobe's files store the inks inverted (0 = full ink).
            const bool Inverted = Info.saw_Adobe_marker;
            const int  K = Inverted ? In[3] : 255 - In[3];
            for (int C = 0; C < 3; ++C)
                Out[C] = uint8_t(((Inverted ? In[C] : 255 - In[C]) * K + 127) / 255);
            In += 4;
        } else {
            Out[0] = In[0];
            Out[1] = In[1];
            Out[2] = In[2];
            In += 3;
        }
        Out[3] = 255;
    }
}

// After the header: refuses pictures of no pixels or too many, and asks libjpeg for RGB, grey
// or CMYK by the file's colour space (ConvertJpegRow makes RGB of the last two).
bool ChooseJpegOutput(jpeg_decompress_struct& Info) {
    if (Info.image_width == 0 || Info.image_height == 0 || Info.image_width > MaxImageSide ||
        Info.image_height > MaxImageSide)
        return false;
    if (Info.jpeg_color_space == JCS_GRAYSCALE)
        Info.out_color_space = JCS_GRAYSCALE;
    else if (Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK)
        Info.out_color_space = JCS_CMYK;
    else
        Info.out_color_space = JCS_RGB;
    return true;
}

// Reads every scan line into Image, already sized. The picture's top line arrives first and
// becomes the last row. The line buffer belongs to libjpeg's pool and goes with the decoder.
void ReadJpegRows(jpeg_decompress_struct& Info, Image_Rec& Image) {
    const size_t RowBytes = size_t(Image.Width) * 4;
    JSAMPARRAY   Line = (*Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&Info),
                                                JPOOL_IMAGE,
                                                Info.output_width * Info.output_components, 1);
    while (Info.output_scanline < Info.output_height) {
        const size_t Row = size_t(Image.Height) - 1 - Info.output_scanline;
        jpeg_read_scanlines(&Info, Line, 1);
        ConvertJpegRow(Info, Line[0], Image.Pixels.data() + Row * RowBytes);
    }
}

// The part of the decoding that libjpeg may leave by its error handler: no frame between here
// and libjpeg holds anything with a destructor, and the picture goes into the caller's Image.
bool DecodeJpgWithLibjpeg(const uint8_t* Data, size_t Size, Image_Rec& Image) {
    jpeg_decompress_struct Info;
    JpegErrorManager       Errors;
    jpeg_progress_mgr      Progress{};
    Progress.progress_monitor = JpegProgress;
    Info.err = jpeg_std_error(&Errors.Base);
    Errors.Base.error_exit = JpegErrorExit;
    Errors.Base.emit_message = JpegEmitMessage;
    Errors.Base.output_message = JpegOutputMessage;
    if (setjmp(Errors.Jump)) {
        jpeg_destroy_decompress(&Info);
        return false;
    }
    jpeg_create_decompress(&Info);
    Info.progress = &Progress;
    jpeg_mem_src(&Info, Data, static_cast<unsigned long>(Size));
    jpeg_read_header(&Info, TRUE);
    bool Sized = ChooseJpegOutput(Info);
    if (Sized) {
        jpeg_start_decompress(&Info);
        Image.Width = int32_t(Info.output_width);
        Image.Height = int32_t(Info.output_height);
        Image.Channels = 4;
        try {
            Image.Pixels.resize(size_t(Image.Width) * size_t(Image.Height) * 4);
        } catch (const std::bad_alloc&) {
            Sized = false;
        }
    }
    if (Sized) {
        ReadJpegRows(Info, Image);
        jpeg_finish_decompress(&Info);
    }
    jpeg_destroy_decompress(&Info);
    return Sized;
}

} // namespace

bool DecodeJpg(const uint8_t* Data, size_t Size, Image_Rec& Image, ImageFault& Fault) {
    Fault = ImageFault::None;
    Image = Image_Rec{};
    if (!DecodeJpgWithLibjpeg(Data, Size, Image))
        return Refuse(ImageFault::JpegDecode, Image, Fault);
    return true;
}

// ---- Upload --------------------------------------------------------------------------------

namespace {

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

// Every texture file uploaded in this run keeps the mipmap levels built for it, read back
// from its first texture, so a later setup (a new game, a resume, a new context after a
// display-mode change) uploads the same pixels again without reading, decoding or filtering.
// The file's size and time are part of the key: a file changed on disk is decoded anew.
struct MipLevel {
    GLsizei              Width;  // pixels
    GLsizei              Height; // pixels
    std::vector<uint8_t> Pixels; // tightly packed rows
};
struct KeptTexture {
    std::string                     Path;   // absolute file name
    std::uintmax_t                  Size;   // bytes of the file when it was decoded
    std::filesystem::file_time_type Time;   // its modification time then
    GLenum                          Format; // GL_RGB or GL_RGBA
    std::vector<MipLevel>           Levels; // level 0 first
};
std::vector<KeptTexture> KeptTextures;

constexpr GLint MaxMipLevels = 16; // more than a 32768-pixel side would need

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

// Reads back every level of the bound texture Name into a new entry for FileName.
void KeepTexture(const std::string& FileName, GLenum Format) {
    KeptTexture Kept;
    if (!StampFile(FileName, Kept))
        return;
    Kept.Format = Format;
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
        Kept.Levels.push_back(std::move(L));
    }
    glPixelStorei(GL_PACK_ALIGNMENT, Alignment);
    if (glGetError() == GL_NO_ERROR && !Kept.Levels.empty())
        KeptTextures.push_back(std::move(Kept));
}

GLuint UploadKeptTexture(const KeptTexture& Kept, uint16_t MagFilter, uint16_t MinFilter,
                         double Anisotropy) {
    const GLuint Name = BeginTexture(MagFilter, MinFilter, Anisotropy);
    GLint        Alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &Alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint Internal = Kept.Format == GL_RGBA ? GL_RGBA : 3;
    for (size_t Level = 0; Level < Kept.Levels.size(); ++Level) {
        const MipLevel& L = Kept.Levels[Level];
        glTexImage2D(GL_TEXTURE_2D, GLint(Level), Internal, L.Width, L.Height, 0, Kept.Format,
                     GL_UNSIGNED_BYTE, L.Pixels.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, Alignment);
    return Name;
}

// The texture of a file uploaded before in this run, made again from its kept levels.
bool UploadKept(const std::string& FileName, GLuint& TexName, uint16_t MagFilter,
                uint16_t MinFilter, double Anisotropy) {
    const KeptTexture* Kept = FindKeptTexture(FileName);
    if (!Kept)
        return false;
    TexName = UploadKeptTexture(*Kept, MagFilter, MinFilter, Anisotropy);
    return true;
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

bool LoadBmpTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    if (FromResource)
        return RefuseResource(FileName, "BMP Texture");
    if (UploadKept(FileName, TexName, MagFilter, MinFilter, Anisotropy))
        return true;
    std::vector<uint8_t> Bytes;
    if (ReadWholeFile(FileName, Bytes) != FileRead::Done) {
        ShowMessage("Error opening " + FileName, "BMP Unit");
        return false;
    }
    Image_Rec  Image;
    ImageFault Fault;
    if (!DecodeBmp(Bytes.data(), Bytes.size(), Image, Fault)) {
        ShowMessage(Fault == ImageFault::BmpPalette ? "Error reading palette"
                                                    : "Error reading bitmap data",
                    "BMP Unit");
        return false;
    }
    return Upload(FileName, Image, TexName, MagFilter, MinFilter, Anisotropy);
}

bool LoadJpgTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    if (FromResource)
        return RefuseResource(FileName, "JPG Texture");
    if (UploadKept(FileName, TexName, MagFilter, MinFilter, Anisotropy))
        return true;
    std::vector<uint8_t> Bytes;
    Image_Rec            Image;
    ImageFault           Fault;
    if (ReadWholeFile(FileName, Bytes) != FileRead::Done ||
        !DecodeJpg(Bytes.data(), Bytes.size(), Image, Fault)) {
        ShowMessage("Couldn't load JPG - " + Quoted(FileName), "BMP Unit");
        return false;
    }
    return Upload(FileName, Image, TexName, MagFilter, MinFilter, Anisotropy);
}

bool LoadTgaTexture(const std::string& FileName, GLuint& TexName, bool FromResource,
                    uint16_t MagFilter, uint16_t MinFilter, double Anisotropy) {
    if (FromResource)
        return RefuseResource(FileName, "TGA Texture");
    if (UploadKept(FileName, TexName, MagFilter, MinFilter, Anisotropy))
        return true;
    std::vector<uint8_t> Bytes;
    const FileRead       Read = ReadWholeFile(FileName, Bytes);
    if (Read == FileRead::Missing) {
        ShowMessage("File not found  - " + FileName, "TGA Texture");
        return false;
    }
    Image_Rec  Image;
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
    return Upload(FileName, Image, TexName, MagFilter, MinFilter, Anisotropy);
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
