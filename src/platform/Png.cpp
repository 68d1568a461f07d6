// PNG writing and reading with libpng. libpng reports errors by longjmp, so nothing with a
// destructor may live between setjmp and the calls that can fail.
#include "platform/Png.h"

#include <png.h>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* F) const { std::fclose(F); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// libpng would print its errors and warnings; the callers report failures their own way.
void Quietly(png_structp Png, png_const_charp) { png_longjmp(Png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

bool WriteRows(FILE* File, int32_t Width, int32_t Height, const std::vector<uint8_t>& Rgb) {
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Quietly, IgnoreWarning);
    if (!Png)
        return false;
    png_infop Info = png_create_info_struct(Png);
    if (!Info || setjmp(png_jmpbuf(Png))) {
        png_destroy_write_struct(&Png, &Info);
        return false;
    }
    png_init_io(Png, File);
    png_set_IHDR(Png, Info, png_uint_32(Width), png_uint_32(Height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(Png, Info);
    for (int32_t Y = 0; Y < Height; ++Y)
        png_write_row(Png, const_cast<png_bytep>(&Rgb[size_t(Y) * size_t(Width) * 3]));
    png_write_end(Png, nullptr);
    png_destroy_write_struct(&Png, &Info);
    return true;
}

bool ReadRows(FILE* File, int32_t& Width, int32_t& Height, std::vector<uint8_t>& Rgb) {
    png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Quietly, IgnoreWarning);
    if (!Png)
        return false;
    png_infop Info = png_create_info_struct(Png);
    if (!Info || setjmp(png_jmpbuf(Png))) {
        png_destroy_read_struct(&Png, &Info, nullptr);
        return false;
    }
    png_init_io(Png, File);
    png_read_info(Png, Info);
    const int Type = png_get_color_type(Png, Info);
    const bool Fits = png_get_bit_depth(Png, Info) == 8 &&
                      (Type == PNG_COLOR_TYPE_RGB || Type == PNG_COLOR_TYPE_RGBA);
    if (Fits) {
        if (Type == PNG_COLOR_TYPE_RGBA)
            png_set_strip_alpha(Png);
        png_read_update_info(Png, Info);
        Width = int32_t(png_get_image_width(Png, Info));
        Height = int32_t(png_get_image_height(Png, Info));
        Rgb.resize(size_t(Width) * size_t(Height) * 3);
        for (int32_t Y = 0; Y < Height; ++Y)
            png_read_row(Png, &Rgb[size_t(Y) * size_t(Width) * 3], nullptr);
    }
    png_destroy_read_struct(&Png, &Info, nullptr);
    return Fits;
}

} // namespace

bool WritePng(const std::string& Path, int32_t Width, int32_t Height, const std::vector<uint8_t>& Rgb) {
    if (Width <= 0 || Height <= 0 || Rgb.size() < size_t(Width) * size_t(Height) * 3)
        return false;
    bool Written = false;
    {
        FilePtr File(std::fopen(Path.c_str(), "wb"));
        if (!File)
            return false;
        Written = WriteRows(File.get(), Width, Height, Rgb) && std::fflush(File.get()) == 0;
        Written = std::fclose(File.release()) == 0 && Written;
    }
    if (!Written)
        std::remove(Path.c_str());
    return Written;
}

bool ReadPng(const std::string& Path, int32_t& Width, int32_t& Height, std::vector<uint8_t>& Rgb) {
    FilePtr File(std::fopen(Path.c_str(), "rb"));
    return File && ReadRows(File.get(), Width, Height, Rgb);
}
