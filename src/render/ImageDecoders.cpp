// The image decoders: BMP, Targa and JPEG (the only unit that calls libjpeg) into pictures.
#include "render/ImageDecoders.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

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
    const size_t HeadersEnd = BmpFileHeaderSize + InfoSize;
    // The palette is as many bytes as the colours-used field says (0 in a 24-bit file), unused.
    if (ColoursUsed > Size - HeadersEnd)
        return Refuse(ImageFault::BmpPalette, Image, Fault);
    // The pixels start where the file header says: writers may leave a gap (a palette, padding)
    // after the headers. An offset back inside the headers or past the data is refused.
    const uint32_t PixelOffset = ReadU32(Data + 10);
    if (PixelOffset < HeadersEnd || PixelOffset > Size)
        return Refuse(ImageFault::BmpData, Image, Fault);
    const size_t Position = PixelOffset;
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

// A warning is damage libjpeg reads past (stray bytes before a marker, a bad restart marker),
// as other decoders do, so the picture is kept. The one exception is the end of the data
// before the picture's end: libjpeg would fill the missing part with grey, so a truncated file
// is refused like a broken one. Trace messages are ignored.
void JpegEmitMessage(j_common_ptr Info, int Level) {
    if (Level < 0 && Info->err->msg_code == JWRN_JPEG_EOF)
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

// libjpeg-turbo writes RGBA rows itself (alpha 255), straight into the picture; plain libjpeg
// gives RGB rows that ConvertJpegRow widens.
#ifdef JCS_ALPHA_EXTENSIONS
constexpr J_COLOR_SPACE JpegColourOutput = JCS_EXT_RGBA;
#else
constexpr J_COLOR_SPACE JpegColourOutput = JCS_RGB;
#endif

// One decoded scan line (grey, CMYK or RGB) into an RGBA row. The colour space is chosen once
// per row, not per pixel: this loop is most of the decoding time.
void ConvertJpegRow(const jpeg_decompress_struct& Info, const uint8_t* In, uint8_t* Out) {
    const JDIMENSION Width = Info.output_width;
    if (Info.out_color_space == JCS_GRAYSCALE) {
        for (JDIMENSION X = 0; X < Width; ++X, In += 1, Out += 4) {
            Out[0] = Out[1] = Out[2] = In[0];
            Out[3] = 255;
        }
    } else if (Info.out_color_space == JCS_CMYK) {
        // Adobe's files store the inks inverted (0 = full ink).
        const int Flip = Info.saw_Adobe_marker ? 0 : 255;
        for (JDIMENSION X = 0; X < Width; ++X, In += 4, Out += 4) {
            const int K = Flip ^ In[3];
            for (int C = 0; C < 3; ++C)
                Out[C] = uint8_t(((Flip ^ In[C]) * K + 127) / 255);
            Out[3] = 255;
        }
    } else {
        for (JDIMENSION X = 0; X < Width; ++X, In += 3, Out += 4) {
            Out[0] = In[0];
            Out[1] = In[1];
            Out[2] = In[2];
            Out[3] = 255;
        }
    }
}

// After the header: refuses pictures of no pixels or too many, and asks libjpeg for RGBA (or
// RGB), grey or CMYK by the file's colour space (ConvertJpegRow makes RGBA of the others).
bool ChooseJpegOutput(jpeg_decompress_struct& Info) {
    if (Info.image_width == 0 || Info.image_height == 0 || Info.image_width > MaxImageSide ||
        Info.image_height > MaxImageSide)
        return false;
    if (Info.jpeg_color_space == JCS_GRAYSCALE)
        Info.out_color_space = JCS_GRAYSCALE;
    else if (Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK)
        Info.out_color_space = JCS_CMYK;
    else
        Info.out_color_space = JpegColourOutput;
    return true;
}

// Reads every scan line into Image, whose room is reserved. Rows are made (and their memory
// touched) only as lines arrive, so a broken file that declares a huge picture costs only what
// it holds. RGBA lines go straight into their row; others pass through a line buffer that
// belongs to libjpeg's pool and goes with the decoder. The picture's top line arrives first and
// stays first here (TurnRowsOver puts the bottom row first).
void ReadJpegRows(jpeg_decompress_struct& Info, Image_Rec& Image) {
    const size_t RowBytes = size_t(Image.Width) * 4;
    const bool   Direct = Info.out_color_space == JpegColourOutput && Info.output_components == 4;
    JSAMPARRAY   Line = (*Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&Info),
                                                JPOOL_IMAGE,
                                                Info.output_width * Info.output_components, 1);
    while (Info.output_scanline < Info.output_height) {
        Image.Pixels.resize(size_t(Info.output_scanline + 1) * RowBytes);
        uint8_t* Row = Image.Pixels.data() + size_t(Info.output_scanline) * RowBytes;
        if (Direct) {
            JSAMPROW Target = Row;
            jpeg_read_scanlines(&Info, &Target, 1);
        } else {
            jpeg_read_scanlines(&Info, Line, 1);
            ConvertJpegRow(Info, Line[0], Row);
        }
    }
}

// Turns the rows of a picture decoded top row first over, so that the bottom row comes first.
// Called once libjpeg is done: its error exit must not jump over the spare row's destructor.
void TurnRowsOver(Image_Rec& Image) {
    const size_t         RowBytes = size_t(Image.Width) * size_t(Image.Channels);
    std::vector<uint8_t> Spare(RowBytes);
    uint8_t*             Pixels = Image.Pixels.data();
    for (size_t Top = 0, Bottom = size_t(Image.Height) - 1; Top < Bottom; ++Top, --Bottom) {
        std::memcpy(Spare.data(), Pixels + Top * RowBytes, RowBytes);
        std::memcpy(Pixels + Top * RowBytes, Pixels + Bottom * RowBytes, RowBytes);
        std::memcpy(Pixels + Bottom * RowBytes, Spare.data(), RowBytes);
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
            Image.Pixels.reserve(size_t(Image.Width) * size_t(Image.Height) * 4);
        } catch (const std::bad_alloc&) {
            Sized = false;
        }
    }
    if (Sized) {
        ReadJpegRows(Info, Image);
        jpeg_finish_decompress(&Info);
    }
    jpeg_destroy_decompress(&Info);
    if (Sized)
        TurnRowsOver(Image);
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
