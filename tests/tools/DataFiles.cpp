// Helpers of the data generator's tests.
#include "DataFiles.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <jpeglib.h>
#include <setjmp.h>
#include <sys/wait.h>

std::string DataDir() {
    return TARVIX_DATA_DIR;
}

std::string AssetgenBinary() {
    return std::string(TARVIX_BUILD_DIR) + "/tools/assetgen/assetgen";
}

int DecodedImage::Luma(int X, int Y) const {
    const uint8_t* P = &Rgb[(static_cast<size_t>(Y) * Width + X) * 3];
    return (P[0] + P[1] + P[2]) / 3;
}

namespace {
struct JpegError {
    jpeg_error_mgr Manager;
    jmp_buf        Jump;
    char           Message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr Info) {
    JpegError* E = reinterpret_cast<JpegError*>(Info->err);
    (*Info->err->format_message)(Info, E->Message);
    longjmp(E->Jump, 1);
}
} // namespace

bool ReadJpeg(const std::string& Path, DecodedImage& Image, std::string& Error) {
    FILE* File = std::fopen(Path.c_str(), "rb");
    if (!File) {
        Error = "cannot open " + Path;
        return false;
    }
    jpeg_decompress_struct Info;
    JpegError              E;
    Info.err = jpeg_std_error(&E.Manager);
    E.Manager.error_exit = OnJpegError;
    if (setjmp(E.Jump)) {
        Error = Path + ": " + E.Message;
        jpeg_destroy_decompress(&Info);
        std::fclose(File);
        return false;
    }
    jpeg_create_decompress(&Info);
    jpeg_stdio_src(&Info, File);
    jpeg_read_header(&Info, TRUE);
    Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&Info);
    Image.Width = Info.output_width;
    Image.Height = Info.output_height;
    Image.Rgb.assign(static_cast<size_t>(Image.Width) * Image.Height * 3, 0);
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Row = &Image.Rgb[static_cast<size_t>(Info.output_scanline) * Image.Width * 3];
        jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    std::fclose(File);
    return true;
}

std::vector<char> ReadBytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

int RunAssetgen(const std::string& Folder) {
    const std::string Command = "'" + AssetgenBinary() + "' '" + Folder + "' 2>/dev/null";
    const int         Status = std::system(Command.c_str());
    return Status == -1 || !WIFEXITED(Status) ? -1 : WEXITSTATUS(Status);
}
