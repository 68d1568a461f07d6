// Image: pixel storage and the libjpeg writer.
#include "Image.h"

#include "Noise.h"

#include <cstdio>
#include <jpeglib.h>
#include <memory>

Colour operator+(Colour A, Colour B) { return {A.R + B.R, A.G + B.G, A.B + B.B}; }

Colour operator*(Colour A, double S) { return {A.R * S, A.G * S, A.B * S}; }

Colour MixColour(Colour A, Colour B, double T) {
    return {Mix(A.R, B.R, T), Mix(A.G, B.G, T), Mix(A.B, B.B, T)};
}

clsImage::clsImage(int Width, int Height) : W(Width), H(Height), Pixels(Width * Height, {0, 0, 0}) {}

Colour clsImage::Get(int X, int Y) const {
    X = ((X % W) + W) % W;
    Y = ((Y % H) + H) % H;
    return Pixels[Y * W + X];
}

void clsImage::Set(int X, int Y, Colour C) {
    if (X >= 0 && Y >= 0 && X < W && Y < H)
        Pixels[Y * W + X] = C;
}

void clsImage::Add(int X, int Y, Colour C) {
    if (X >= 0 && Y >= 0 && X < W && Y < H)
        Pixels[Y * W + X] = Pixels[Y * W + X] + C;
}

void clsImage::Fill(Colour C) {
    for (Colour& P : Pixels)
        P = C;
}

static unsigned char ToByte(double V) { return static_cast<unsigned char>(Clamp01(V) * 255.0 + 0.5); }

bool WriteJpeg(const std::string& Path, const clsImage& Image, int Quality) {
    std::unique_ptr<FILE, int (*)(FILE*)> File(std::fopen(Path.c_str(), "wb"), std::fclose);
    if (!File) {
        std::perror(Path.c_str());
        return false;
    }
    jpeg_compress_struct Info;
    jpeg_error_mgr       Errors;
    Info.err = jpeg_std_error(&Errors);
    jpeg_create_compress(&Info);
    jpeg_stdio_dest(&Info, File.get());
    Info.image_width = Image.Width();
    Info.image_height = Image.Height();
    Info.input_components = 3;
    Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, Quality, TRUE);
    // Full-resolution colour: sprites and glyphs are small and their edges must stay clean.
    for (int C = 0; C < Info.num_components; ++C)
        Info.comp_info[C].h_samp_factor = Info.comp_info[C].v_samp_factor = 1;
    jpeg_start_compress(&Info, TRUE);
    std::vector<unsigned char> Row(Image.Width() * 3);
    for (int Y = 0; Y < Image.Height(); ++Y) {
        for (int X = 0; X < Image.Width(); ++X) {
            const Colour C = Image.Get(X, Y);
            Row[X * 3 + 0] = ToByte(C.R);
            Row[X * 3 + 1] = ToByte(C.G);
            Row[X * 3 + 2] = ToByte(C.B);
        }
        JSAMPROW Rows[1] = {Row.data()};
        jpeg_write_scanlines(&Info, Rows, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    return std::ferror(File.get()) == 0;
}
