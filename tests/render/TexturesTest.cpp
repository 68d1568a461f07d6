// Texture loading: the three decoders against ImageMagick's files (an encoder that is not ours),
// the refusal of malformed files with the game's messages, the upload and texture list in a real
// GL context, and the levels kept for a texture loaded again.
#include "render/Textures.h"

#include "core/EventLog.h"
#include "menu/Settings.h"
#include "platform/Platform.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"

#include <GL/gl.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// A picture as the tests describe it: RGB, top row first (the way PPM and people read it).
struct TestPicture {
    int                  Width = 0;
    int                  Height = 0;
    std::vector<uint8_t> Rgb;
    const uint8_t*       At(int X, int Row) const { return &Rgb[(size_t(Row) * Width + X) * 3]; }
};

// Every pixel different, so any shift, mirror or swap of channels shows.
TestPicture GradientPicture(int Width, int Height) {
    TestPicture P{Width, Height, {}};
    for (int Row = 0; Row < Height; ++Row)
        for (int X = 0; X < Width; ++X) {
            P.Rgb.push_back(uint8_t(20 + X * 37 + Row * 5));
            P.Rgb.push_back(uint8_t(200 - Row * 29 - X));
            P.Rgb.push_back(uint8_t((X * 11 + Row * 53) ^ 0x5A));
        }
    return P;
}

// Four flat 8 x 8 quadrants: JPEG keeps flat blocks nearly exact. Top left red, top right
// green, bottom left blue, bottom right white.
TestPicture QuadrantPicture() {
    TestPicture P{16, 16, {}};
    for (int Row = 0; Row < 16; ++Row)
        for (int X = 0; X < 16; ++X) {
            const bool    Top = Row < 8, Left = X < 8;
            const uint8_t R = (Top && Left) || (!Top && !Left) ? 255 : 0;
            const uint8_t G = (Top && !Left) || (!Top && !Left) ? 255 : 0;
            const uint8_t B = !Top ? 255 : 0;
            P.Rgb.insert(P.Rgb.end(), {R, G, B});
        }
    return P;
}

void WritePpm(const std::string& FileName, const TestPicture& P) {
    std::ofstream File(FileName, std::ios::binary);
    File << "P6\n" << P.Width << " " << P.Height << "\n255\n";
    File.write(reinterpret_cast<const char*>(P.Rgb.data()), std::streamsize(P.Rgb.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& FileName) {
    std::ifstream File(FileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(File), {});
}

void WriteBytes(const std::string& FileName, const std::vector<uint8_t>& Bytes) {
    std::ofstream File(FileName, std::ios::binary);
    File.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

// ImageMagick's convert by absolute path: another "convert" may come first on the PATH.
constexpr const char* ImageMagickConvert = "/usr/bin/convert";

bool ImageMagickPresent() {
    const std::string Command =
        std::string(ImageMagickConvert) + " -version 2>/dev/null | grep -q ImageMagick";
    return std::system(Command.c_str()) == 0;
}

// Runs convert with Arguments in the working folder; true when it succeeded.
bool Convert(const std::string& Arguments) {
    const std::string Command = std::string(ImageMagickConvert) + " " + Arguments + " 2>&1";
    return std::system(Command.c_str()) == 0;
}

// Decoded rows are bottom row first; the picture is top row first.
void ExpectPicture(const Image_Rec& Image, const TestPicture& P, int Tolerance) {
    ASSERT_EQ(Image.Width, P.Width);
    ASSERT_EQ(Image.Height, P.Height);
    ASSERT_EQ(Image.Pixels.size(), size_t(P.Width) * P.Height * Image.Channels);
    int Mismatches = 0;
    for (int Row = 0; Row < P.Height; ++Row)
        for (int X = 0; X < P.Width; ++X) {
            const uint8_t* Got =
                &Image.Pixels[(size_t(P.Height - 1 - Row) * P.Width + X) * Image.Channels];
            const uint8_t* Want = P.At(X, Row);
            for (int C = 0; C < 3; ++C)
                if (std::abs(int(Got[C]) - int(Want[C])) > Tolerance && ++Mismatches <= 5)
                    ADD_FAILURE() << "pixel (" << X << ", row " << Row << " from the top) channel "
                                  << C << ": got " << int(Got[C]) << ", want " << int(Want[C]);
            if (Image.Channels == 4 && Got[3] != 255 && ++Mismatches <= 5)
                ADD_FAILURE() << "alpha " << int(Got[3]) << " at (" << X << ", " << Row << ")";
        }
    EXPECT_EQ(Mismatches, 0);
}

using Decoder = bool (*)(const uint8_t*, size_t, Image_Rec&, ImageFault&);

// The picture in FileName, which the decoder must accept without a fault.
Image_Rec DecodeFile(Decoder Decode, const std::string& FileName) {
    const std::vector<uint8_t> Bytes = ReadBytes(FileName);
    Image_Rec                  Image;
    ImageFault                 Fault = ImageFault::None;
    EXPECT_FALSE(Bytes.empty()) << FileName << " was not made";
    EXPECT_TRUE(Decode(Bytes.data(), Bytes.size(), Image, Fault)) << FileName;
    EXPECT_EQ(Fault, ImageFault::None);
    return Image;
}

class DecoderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.Ready());
        if (!ImageMagickPresent())
            GTEST_SKIP() << "ImageMagick's /usr/bin/convert is not installed";
    }
    clsTempFolder Folder;
};

void PutU32(std::vector<uint8_t>& B, size_t At, uint32_t V) {
    for (int I = 0; I < 4; ++I)
        B[At + I] = uint8_t(V >> (8 * I));
}

} // namespace

// Widths 4..7 give rows of 12..21 bytes: padding of 0, 1, 2 and 3 bytes. Writers may also leave
// a gap between the headers and the pixels: the file header's offset says where the pixels
// start, and a gap of 5 bytes would shift every pixel read from the wrong place.
TEST_F(DecoderTest, BmpRowsWithEveryPaddingAndAGapBeforeThemMatchTheSource) {
    for (int Width = 4; Width <= 7; ++Width) {
        SCOPED_TRACE("width " + std::to_string(Width));
        const TestPicture P = GradientPicture(Width, 3);
        WritePpm("src.ppm", P);
        ASSERT_TRUE(Convert("src.ppm -type TrueColor BMP3:out.bmp"));
        const Image_Rec Image = DecodeFile(DecodeBmp, "out.bmp");
        EXPECT_EQ(Image.Channels, 3);
        ExpectPicture(Image, P, 0);

        std::vector<uint8_t> Gap = ReadBytes("out.bmp");
        ASSERT_EQ(Gap[10], 54);
        Gap.insert(Gap.begin() + 54, {0xEE, 0x11, 0xEE, 0x11, 0xEE});
        PutU32(Gap, 10, 59);
        PutU32(Gap, 2, uint32_t(Gap.size()));
        WriteBytes("gap.bmp", Gap);
        ExpectPicture(DecodeFile(DecodeBmp, "gap.bmp"), P, 0);
    }
}

TEST_F(DecoderTest, TgaBottomUpTopDownAndWithImageIdMatchTheSource) {
    const TestPicture P = GradientPicture(5, 3);
    WritePpm("src.ppm", P);
    // ImageMagick 6 writes the rows in its own memory order and records the orientation in
    // the origin bit: flipping first gives a standard bottom-up file of the source picture.
    ASSERT_TRUE(Convert("src.ppm -flip -type TrueColor bottomup.tga"));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor -orient TopLeft topdown.tga"));
    ASSERT_TRUE(Convert("src.ppm -flip -type TrueColor -set comment 'made for a test' id.tga"));
    const std::vector<uint8_t> BottomUp = ReadBytes("bottomup.tga");
    const std::vector<uint8_t> TopDown = ReadBytes("topdown.tga");
    const std::vector<uint8_t> WithId = ReadBytes("id.tga");
    ASSERT_GE(TopDown.size(), 18u);
    ASSERT_GE(WithId.size(), 18u);
    ASSERT_EQ(BottomUp[17] & 0x20, 0) << "fixture should be bottom-up";
    ASSERT_EQ(TopDown[17] & 0x20, 0x20) << "fixture should be top-down";
    ASSERT_EQ(WithId[0], std::strlen("made for a test")) << "fixture should carry an image ID";
    for (const char* Name : {"bottomup.tga", "topdown.tga", "id.tga"}) {
        SCOPED_TRACE(Name);
        const Image_Rec Image = DecodeFile(DecodeTga, Name);
        EXPECT_EQ(Image.Channels, 3);
        ExpectPicture(Image, P, 0);
    }
}

TEST_F(DecoderTest, JpegRgbGreyAndCmykDecodeToOpaqueRgb) {
    const TestPicture P = QuadrantPicture();
    WritePpm("src.ppm", P);
    ASSERT_TRUE(Convert("src.ppm -type TrueColor -quality 100 -sampling-factor 1x1 rgb.jpg"));
    ASSERT_TRUE(Convert("src.ppm -colorspace CMYK -quality 100 cmyk.jpg"));
    const Image_Rec Image = DecodeFile(DecodeJpg, "rgb.jpg");
    EXPECT_EQ(Image.Channels, 4);
    ExpectPicture(Image, P, 8);
    ExpectPicture(DecodeFile(DecodeJpg, "cmyk.jpg"), P, 16);

    // A one-component file: the grey level goes into all three channels.
    TestPicture Grey{16, 16, {}};
    for (int Row = 0; Row < 16; ++Row)
        for (int X = 0; X < 16; ++X) {
            const uint8_t Level = uint8_t((Row < 8 ? 40 : 200) + (X < 8 ? 0 : 30));
            Grey.Rgb.insert(Grey.Rgb.end(), {Level, Level, Level});
        }
    WritePpm("grey.ppm", Grey);
    ASSERT_TRUE(Convert("grey.ppm -colorspace Gray -type Grayscale -quality 100 grey.jpg"));
    ExpectPicture(DecodeFile(DecodeJpg, "grey.jpg"), Grey, 4);
}

// ---- Malformed files -----------------------------------------------------------------------

namespace {

struct BadFile {
    std::string          FileName;
    std::vector<uint8_t> Bytes; // written unless Absent
    bool                 Absent;
    std::string          Text;    // expected message
    std::string          Caption; // expected caption
};

std::vector<uint8_t> Cut(std::vector<uint8_t> B, size_t Length) {
    B.resize(std::min(Length, B.size()));
    return B;
}

int CountTextures() {
    int Count = 0;
    for (GLuint Name = 1; Name < 4096; ++Name)
        Count += glIsTexture(Name) ? 1 : 0;
    return Count;
}

// Loads every file through LoadTexture and checks message, caption and the untouched name.
void ExpectRefused(const std::vector<BadFile>& Files, bool HaveGL) {
    for (const BadFile& F : Files) {
        SCOPED_TRACE(F.FileName + " (" + F.Text + ")");
        if (!F.Absent) WriteBytes(F.FileName, F.Bytes);
        const int Before = MessagesShown;
        const int TexturesBefore = HaveGL ? CountTextures() : 0;
        GLuint    Name = 4242;
        LoadTexture(F.FileName, Name, false, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 0);
        EXPECT_EQ(MessagesShown, Before + 1);
        EXPECT_EQ(LastMessageText, F.Text);
        EXPECT_EQ(LastMessageCaption, F.Caption);
        EXPECT_EQ(Name, 4242u);
        if (HaveGL) {
            EXPECT_EQ(CountTextures(), TexturesBefore);
        }
        std::error_code Ignored;
        std::filesystem::remove(F.FileName, Ignored);
    }
}

class MalformedTest : public DecoderTest {
  protected:
    clsTestGLContext Ctx{16, 16};
};

} // namespace

// libjpeg reads past two stray bytes before a marker with a warning, as other decoders do; a
// truncated file, also only a warning to libjpeg, is still refused (JpegRefusesBroken...).
TEST_F(DecoderTest, JpegWithStrayBytesBeforeAMarkerDecodes) {
    const TestPicture P = QuadrantPicture();
    WritePpm("src.ppm", P);
    ASSERT_TRUE(Convert("src.ppm -type TrueColor -quality 100 -sampling-factor 1x1 clean.jpg"));
    std::vector<uint8_t> Bytes = ReadBytes("clean.jpg");
    size_t               ScanAt = 0; // the start-of-scan marker FF DA
    for (size_t I = 2; I + 1 < Bytes.size() && ScanAt == 0; ++I)
        if (Bytes[I] == 0xFF && Bytes[I + 1] == 0xDA) ScanAt = I;
    ASSERT_NE(ScanAt, 0u);
    Bytes.insert(Bytes.begin() + std::ptrdiff_t(ScanAt), {0x00, 0x2A});
    WriteBytes("stray.jpg", Bytes);
    ExpectPicture(DecodeFile(DecodeJpg, "stray.jpg"), P, 8);
}

TEST_F(MalformedTest, BmpRefusesBadHeadersAndMissingData) {
    WritePpm("src.ppm", GradientPicture(5, 3));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor BMP3:good.bmp"));
    const std::vector<uint8_t> Good = ReadBytes("good.bmp");
    ASSERT_EQ(Good.size(), 54u + 16 * 3);
    auto Patched = [&](size_t At, uint32_t V) {
        std::vector<uint8_t> B = Good;
        PutU32(B, At, V);
        return B;
    };
    std::vector<uint8_t> WrongSignature = Good;
    WrongSignature[0] = 'X';
    std::vector<uint8_t> Bits32 = Good;
    Bits32[28] = 32;
    const std::string Data = "Error reading bitmap data", Unit = "BMP Unit";
    ExpectRefused(
        {
            {"missing.bmp", {}, true, "Error opening missing.bmp", Unit},
            {"signature.bmp", WrongSignature, false, Data, Unit},
            {"headeronly.bmp", Cut(Good, 30), false, Data, Unit},
            {"truncated.bmp", Cut(Good, Good.size() - 1), false, Data, Unit},
            {"wide.bmp", Patched(18, 100000), false, Data, Unit},
            {"huge.bmp", Patched(18, 0x7FFFFFFF), false, Data, Unit},
            {"zero.bmp", Patched(18, 0), false, Data, Unit},
            {"topdown.bmp", Patched(22, uint32_t(-3)), false, Data, Unit},
            {"bits32.bmp", Bits32, false, Data, Unit},
            {"rle.bmp", Patched(30, 1), false, Data, Unit},
            {"sizefield.bmp", Patched(34, 0xFFFFFFF0u), false, Data, Unit},
            {"infosize.bmp", Patched(14, 0x7FFFFFFF), false, Data, Unit},
            {"palette.bmp", Patched(46, 0xFFFFFFF0u), false, "Error reading palette", Unit},
            {"offsetinheader.bmp", Patched(10, 40), false, Data, Unit},
            {"offsetpastend.bmp", Patched(10, uint32_t(Good.size()) + 1), false, Data, Unit},
            {"offsetlate.bmp", Patched(10, 55), false, Data, Unit},
        },
        Ctx.Ready());
}

TEST_F(MalformedTest, JpegRefusesBrokenFilesWithOneMessage) {
    WritePpm("src.ppm", QuadrantPicture());
    ASSERT_TRUE(Convert("src.ppm -quality 90 good.jpg"));
    const std::vector<uint8_t> Good = ReadBytes("good.jpg");
    ASSERT_GT(Good.size(), 200u);
    // The frame header (SOF0, marker FF C0) holds height and width at offsets 5 and 7.
    std::vector<uint8_t> Huge = Good;
    for (size_t I = 0; I + 9 < Huge.size(); ++I)
        if (Huge[I] == 0xFF && Huge[I + 1] == 0xC0) {
            Huge[I + 5] = Huge[I + 7] = 0xEA;
            Huge[I + 6] = Huge[I + 8] = 0x60;
            break;
        }
    WritePpm("bmp.ppm", GradientPicture(4, 4));
    ASSERT_TRUE(Convert("bmp.ppm -type TrueColor BMP3:notjpeg.bmp"));
    auto Msg = [](const std::string& N) { return "Couldn't load JPG - \"" + N + "\""; };
    const std::string Unit = "BMP Unit";
    ExpectRefused(
        {
            {"missing.jpg", {}, true, Msg("missing.jpg"), Unit},
            {"empty.jpg", {}, false, Msg("empty.jpg"), Unit},
            {"soi.jpg", Cut(Good, 2), false, Msg("soi.jpg"), Unit},
            {"half.jpg", Cut(Good, Good.size() / 2), false, Msg("half.jpg"), Unit},
            {"huge.jpg", Huge, false, Msg("huge.jpg"), Unit},
            {"bitmap.jpg", ReadBytes("notjpeg.bmp"), false, Msg("bitmap.jpg"), Unit},
        },
        Ctx.Ready());
}

TEST_F(MalformedTest, TgaRefusesWhatItDoesNotSupport) {
    WritePpm("src.ppm", GradientPicture(5, 3));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor good.tga"));
    ASSERT_TRUE(Convert("src.ppm -alpha on -type TrueColorAlpha alpha.tga"));
    ASSERT_TRUE(Convert("src.ppm -compress RLE rle.tga"));
    ASSERT_TRUE(Convert("src.ppm -type Palette palette.tga"));
    const std::vector<uint8_t> Good = ReadBytes("good.tga");
    ASSERT_EQ(Good.size(), 18u + 5 * 3 * 3);
    ASSERT_EQ(ReadBytes("alpha.tga")[16], 32);
    ASSERT_EQ(ReadBytes("rle.tga")[2], 10);
    ASSERT_EQ(ReadBytes("palette.tga")[2], 1);
    std::vector<uint8_t> Mapped = Good; // true-colour type with a colour map announced
    Mapped[1] = 1;
    std::vector<uint8_t> LongId = Good; // an image-ID field longer than what follows
    LongId[0] = 255;
    std::vector<uint8_t> NoPixels = Good;
    NoPixels[12] = NoPixels[13] = 0;
    std::filesystem::create_directory("folder.tga");
    auto Load = [](const std::string& N, const std::string& Why) {
        return "Couldn't load \"" + N + "\". " + Why;
    };
    auto Read = [](const std::string& N) { return "Couldn't read file \"" + N + "\"."; };
    const std::string Err = "TGA File Error";
    ExpectRefused(
        {
            {"missing.tga", {}, true, "File not found  - missing.tga", "TGA Texture"},
            {"folder.tga", {}, true, Read("folder.tga"), Err},
            {"short.tga", Cut(Good, 17), false, Read("short.tga"), Err},
            {"cut.tga", Cut(Good, Good.size() - 1), false, Read("cut.tga"), Err},
            {"longid.tga", LongId, false, Read("longid.tga"), Err},
            {"nopixels.tga", NoPixels, false, Read("nopixels.tga"), Err},
            {"alpha.tga", ReadBytes("alpha.tga"), false,
             Load("alpha.tga", "Only 24 bit TGA files supported."), Err},
            {"rle.tga", ReadBytes("rle.tga"), false,
             Load("rle.tga", "Compressed TGA files not supported."), Err},
            // Type 1 (colour-mapped) fails the image-type test, which comes first.
            {"palette.tga", ReadBytes("palette.tga"), false,
             Load("palette.tga", "Compressed TGA files not supported."), Err},
            {"mapped.tga", Mapped, false,
             Load("mapped.tga", "Colormapped TGA files not supported."), Err},
        },
        Ctx.Ready());
}

TEST_F(MalformedTest, OnlyExactLowerCaseExtensionsAreLoaded) {
    WritePpm("src.ppm", QuadrantPicture());
    ASSERT_TRUE(Convert("src.ppm floor.jpg"));
    for (const char* Name : {"floor.JPG", "floor.Jpg", "floor.jpeg", "jpg", ""}) {
        SCOPED_TRACE(Name);
        std::filesystem::copy_file("floor.jpg", Name[0] ? Name : "unused",
                                   std::filesystem::copy_options::overwrite_existing);
        const int Before = MessagesShown;
        GLuint    TexName = 0;
        LoadTexture(Name, TexName, false, GL_LINEAR, GL_LINEAR, 0);
        EXPECT_EQ(TexName, 0u);
        EXPECT_EQ(MessagesShown, Before);
    }
    // The game writes some names with backslashes ("fonts\\font"); they name the same file.
    if (Ctx.Ready()) {
        std::filesystem::create_directory("sub");
        std::filesystem::copy_file("floor.jpg", "sub/floor.jpg");
        GLuint TexName = 0;
        LoadTexture("sub\\floor.jpg", TexName, false, GL_LINEAR, GL_LINEAR, 0);
        EXPECT_TRUE(glIsTexture(TexName));
        glDeleteTextures(1, &TexName);
    }
    // The program's module has no image resources.
    const int Before = MessagesShown;
    GLuint    TexName = 7;
    LoadTexture("floor.jpg", TexName, true, GL_LINEAR, GL_LINEAR, 0);
    EXPECT_EQ(MessagesShown, Before + 1);
    EXPECT_EQ(LastMessageText, "File not found in resource - floor.jpg");
    EXPECT_EQ(LastMessageCaption, "JPG Texture");
    EXPECT_EQ(TexName, 7u);
}

// ---- Upload and the texture list in a real context ----------------------------------------

namespace {

// Draws the bound texture over the whole viewport, t = 0 at the bottom.
void DrawTexturedViewport() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(1, 0);
    glVertex2f(1, 0);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(0, 1);
    glEnd();
}

void ExpectColour(const std::vector<uint8_t>& Pixel, uint8_t R, uint8_t G, uint8_t B) {
    EXPECT_NEAR(Pixel[0], R, 12);
    EXPECT_NEAR(Pixel[1], G, 12);
    EXPECT_NEAR(Pixel[2], B, 12);
}

class UploadTest : public DecoderTest {
  protected:
    void SetUp() override {
        DecoderTest::SetUp();
        if (IsSkipped()) return;
        REQUIRE_GL(Ctx);
    }
    clsTestGLContext Ctx{64, 64};
};

} // namespace

TEST_F(UploadTest, EveryFormatDrawsUprightWithTZeroAtTheBottom) {
    WritePpm("src.ppm", QuadrantPicture());
    ASSERT_TRUE(Convert("src.ppm -type TrueColor -quality 100 -sampling-factor 1x1 up.jpg"));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor BMP3:up.bmp"));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor -orient TopLeft up.tga"));
    for (const char* Name : {"up.jpg", "up.bmp", "up.tga"}) {
        SCOPED_TRACE(Name);
        GLuint TexName = 0;
        LoadTexture(Name, TexName, false, GL_NEAREST, GL_NEAREST, 0);
        ASSERT_NE(TexName, 0u);
        glBindTexture(GL_TEXTURE_2D, TexName);
        DrawTexturedViewport();
        ExpectColour(Ctx.Pixel(16, 48), 255, 0, 0);     // top left red
        ExpectColour(Ctx.Pixel(48, 48), 0, 255, 0);     // top right green
        ExpectColour(Ctx.Pixel(16, 16), 0, 0, 255);     // bottom left blue
        ExpectColour(Ctx.Pixel(48, 16), 255, 255, 255); // bottom right white
        glDeleteTextures(1, &TexName);
    }
}

TEST_F(UploadTest, SetsModulateMipmapsAnisotropyAndTightRows) {
    // Rows of 2 RGB pixels are 6 bytes: with OpenGL's default 4-byte row alignment the second
    // row would be read 2 bytes late.
    const uint8_t Pixels[2 * 2 * 3] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    const GLuint  Name =
        UploadTexture(2, 2, GL_RGB, Pixels, GL_NEAREST, GL_LINEAR_MIPMAP_NEAREST, 0);
    ASSERT_NE(Name, 0u);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); // the refused anisotropy 0 leaves no error
    glBindTexture(GL_TEXTURE_2D, Name);
    uint8_t Back[12] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, Back);
    EXPECT_EQ(std::memcmp(Back, Pixels, sizeof Back), 0);
    GLint Value = 0; // the filters are read back for every file of the texture list
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &Value);
    EXPECT_EQ(Value, 1) << "the mipmap chain reaches 1 x 1";
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &Value);
    EXPECT_EQ(Value, GL_MODULATE);
    GLint Alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &Alignment);
    EXPECT_EQ(Alignment, 4) << "the caller's unpack alignment is restored";

    const char* Extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (Extensions && std::strstr(Extensions, "GL_EXT_texture_filter_anisotropic")) {
        const GLuint Filtered = UploadTexture(2, 2, GL_RGB, Pixels, GL_LINEAR, GL_LINEAR, 2.0);
        glBindTexture(GL_TEXTURE_2D, Filtered);
        GLfloat Level = 0;
        glGetTexParameterfv(GL_TEXTURE_2D, 0x84FE, &Level);
        EXPECT_FLOAT_EQ(Level, 2.0f);
        glBindTexture(GL_TEXTURE_2D, Name);
        glGetTexParameterfv(GL_TEXTURE_2D, 0x84FE, &Level);
        EXPECT_FLOAT_EQ(Level, 1.0f) << "anisotropy 0 keeps the default";
    }
}

namespace {

// The 16 files of the texture list in the working folder, each a small JPEG.
void MakeTextureFiles() {
    WritePpm("src.ppm", QuadrantPicture());
    ASSERT_TRUE(Convert("src.ppm -quality 90 one.jpg"));
    std::filesystem::create_directories("textures");
    std::filesystem::create_directories("skybox");
    for (const TextureFile& F : TextureFiles)
        std::filesystem::copy_file("one.jpg", F.FileName);
}

void ClearTextureNames() {
    for (const TextureFile& F : TextureFiles)
        *F.TexName = 0;
}

} // namespace

TEST_F(UploadTest, LoadTexturesGoesOnPastAMissingFile) {
    MakeTextureFiles();
    std::filesystem::remove("textures/tree.jpg");
    ClearTextureNames();
    const float SavedAnisotropy = Anisotropy;
    Anisotropy = 0;
    const int Before = MessagesShown;
    LoadTextures();
    Anisotropy = SavedAnisotropy;
    EXPECT_EQ(CurrentMessage, "Loading textures...");
    EXPECT_EQ(MessagesShown, Before + 1);
    EXPECT_EQ(LastMessageText, "Couldn't load JPG - \"textures/tree.jpg\"");
    EXPECT_EQ(LastMessageCaption, "BMP Unit");
    // The game's list in its order. The pointer is smoothed without mipmaps, the three radar
    // noise pictures are not filtered, the rest are mipmapped.
    const std::pair<const char*, GLuint*> List[TextureFileCount] = {
        {"textures/pointer.jpg", &TexPointer},
        {"textures/noise1.jpg", &TexNoise1},
        {"textures/noise2.jpg", &TexNoise2},
        {"textures/noise3.jpg", &TexNoise3},
        {"skybox/fr.jpg", &TexSkyFront},
        {"skybox/bk.jpg", &TexSkyBack},
        {"skybox/lf.jpg", &TexSkyLeft},
        {"skybox/rt.jpg", &TexSkyRight},
        {"skybox/up.jpg", &TexSkyUp},
        {"textures/tree.jpg", &TexTree},
        {"textures/particle2.jpg", &TexParticle},
        {"textures/smoke.jpg", &TexSmoke},
        {"textures/floor.jpg", &TexFloor},
        {"textures/cliffbottom.jpg", &TexCliffBottom},
        {"textures/shot.jpg", &TexShot},
        {"textures/explosion.jpg", &TexExplosion},
    };
    for (int I = 0; I < TextureFileCount; ++I) {
        const auto& [File, Variable] = List[I];
        SCOPED_TRACE(File);
        EXPECT_STREQ(TextureFiles[I].FileName, File);
        EXPECT_EQ(TextureFiles[I].TexName, Variable);
        if (Variable == &TexTree) {
            EXPECT_EQ(TexTree, 0u) << "the missing file leaves its variable alone";
            continue;
        }
        ASSERT_TRUE(glIsTexture(*Variable));
        glBindTexture(GL_TEXTURE_2D, *Variable);
        GLint Mag = 0, Min = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &Mag);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &Min);
        const bool Noise = I >= 1 && I <= 3;
        EXPECT_EQ(Mag, Noise ? GL_NEAREST : GL_LINEAR);
        EXPECT_EQ(Min, I == 0 ? GL_LINEAR : Noise ? GL_NEAREST : GL_LINEAR_MIPMAP_NEAREST);
    }
    ClearTextureNames();
}

TEST_F(UploadTest, ReloadReplacesTheOldTexturesAndKeepsOnesThatFail) {
    MakeTextureFiles();
    ClearTextureNames();
    LoadTextures();
    GLuint First[TextureFileCount];
    for (int I = 0; I < TextureFileCount; ++I)
        First[I] = *TextureFiles[I].TexName;
    std::filesystem::remove("textures/floor.jpg");
    const int Before = MessagesShown;
    LoadTextures();
    EXPECT_EQ(MessagesShown, Before + 1);
    for (int I = 0; I < TextureFileCount; ++I) {
        SCOPED_TRACE(TextureFiles[I].FileName);
        const GLuint Now = *TextureFiles[I].TexName;
        EXPECT_TRUE(glIsTexture(Now));
        if (TextureFiles[I].TexName == &TexFloor) {
            EXPECT_EQ(Now, First[I]) << "a failed reload keeps the texture in use";
            continue;
        }
        EXPECT_NE(Now, First[I]);
        bool Reused = false; // a freed name may be handed out again to a later file
        for (int J = 0; J < TextureFileCount; ++J)
            Reused = Reused || *TextureFiles[J].TexName == First[I];
        if (!Reused) {
            EXPECT_FALSE(glIsTexture(First[I])) << "the replaced texture is deleted";
        }
    }
    ClearTextureNames();
}

TEST_F(UploadTest, TheGeneratedGameTexturesAllLoad) {
    const std::filesystem::path Data = TARVIX_DATA_DIR;
    if (!std::filesystem::exists(Data / "textures") || !std::filesystem::exists(Data / "skybox"))
        GTEST_SKIP() << "no generated data in " << Data;
    for (const char* Folder : {"textures", "skybox"})
        std::filesystem::copy(Data / Folder, Folder, std::filesystem::copy_options::recursive);
    ClearTextureNames();
    const int Before = MessagesShown;
    LoadTextures();
    EXPECT_EQ(MessagesShown, Before) << LastMessageCaption << ": " << LastMessageText;
    for (const TextureFile& F : TextureFiles)
        EXPECT_TRUE(glIsTexture(*F.TexName)) << F.FileName;
    ClearTextureNames();
}

TEST_F(DecoderTest, DamagedFilesNeverReadOutsideTheirData) {
    WritePpm("src.ppm", GradientPicture(5, 3));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor BMP3:a.bmp"));
    ASSERT_TRUE(Convert("src.ppm -type TrueColor a.tga"));
    ASSERT_TRUE(Convert("src.ppm -quality 80 -interlace JPEG a.jpg"));
    const struct {
        const char* Name;
        Decoder     Decode;
    } Files[3] = {{"a.bmp", DecodeBmp}, {"a.tga", DecodeTga}, {"a.jpg", DecodeJpg}};
    uint32_t Seed = 1;
    for (const auto& F : Files) {
        SCOPED_TRACE(F.Name);
        const std::vector<uint8_t> Good = ReadBytes(F.Name);
        int                        Accepted = 0;
        for (int Trial = 0; Trial < 400 + int(Good.size()); ++Trial) {
            // Every truncation first, then files with a few bytes changed at random.
            std::vector<uint8_t> Bytes = Good;
            if (Trial < int(Good.size())) {
                Bytes.resize(size_t(Trial));
            } else {
                for (int Change = 0; Change < 3; ++Change) {
                    Seed = Seed * 1664525u + 1013904223u;
                    Bytes[(Seed >> 8) % Bytes.size()] = uint8_t(Seed >> 24);
                }
            }
            // An exact-size copy lets AddressSanitizer see any read past the end.
            std::unique_ptr<uint8_t[]> Exact(new uint8_t[Bytes.size()]);
            std::copy(Bytes.begin(), Bytes.end(), Exact.get());
            Image_Rec  Image;
            ImageFault Fault;
            if (F.Decode(Exact.get(), Bytes.size(), Image, Fault)) {
                ++Accepted;
                EXPECT_EQ(Image.Pixels.size(), size_t(Image.Width) * Image.Height * Image.Channels);
            } else {
                EXPECT_NE(Fault, ImageFault::None);
                EXPECT_TRUE(Image.Pixels.empty());
            }
        }
        EXPECT_GT(Accepted, 0) << "some damage (in the pixels) leaves a readable file";
    }
}

// ---- Textures loaded again in the same run ------------------------------------------------
//
// They come from the levels kept at their first upload: every mipmap level is the same as a
// fresh decode and filter would give, and a file changed on disk is decoded anew.

namespace {

// An uncompressed 24-bit TGA of W x H pixels whose colours follow Seed.
void WriteTga(const std::string& Path, int W, int H, int Seed) {
    std::vector<uint8_t> Bytes(18, 0);
    Bytes[2] = 2;
    Bytes[12] = uint8_t(W);
    Bytes[13] = uint8_t(W >> 8);
    Bytes[14] = uint8_t(H);
    Bytes[15] = uint8_t(H >> 8);
    Bytes[16] = 24;
    for (int i = 0; i < W * H; ++i)
        for (int c = 0; c < 3; ++c)
            Bytes.push_back(uint8_t((i * 37 + c * 91 + Seed * 53) & 0xFF));
    WriteBytes(Path, Bytes);
}

// Every level of a texture as RGB rows; level sizes in Sizes.
std::vector<std::vector<uint8_t>> ReadLevels(GLuint Name, std::vector<std::pair<int, int>>& Sizes) {
    std::vector<std::vector<uint8_t>> Levels;
    glBindTexture(GL_TEXTURE_2D, Name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (GLint Level = 0; Level < 16; ++Level) {
        GLint W = 0, H = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, Level, GL_TEXTURE_WIDTH, &W);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, Level, GL_TEXTURE_HEIGHT, &H);
        if (W <= 0 || H <= 0) break;
        Sizes.emplace_back(W, H);
        Levels.emplace_back(size_t(W) * size_t(H) * 3);
        glGetTexImage(GL_TEXTURE_2D, Level, GL_RGB, GL_UNSIGNED_BYTE, Levels.back().data());
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return Levels;
}

TEST(KeptTextures, ALoadAgainGivesTheSameLevelsAndAChangedFileIsDecodedAnew) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    const std::string File = "kept.tga"; // 6 x 5: the mipmap builder scales it to 8 x 4 first
    WriteTga(File, 6, 5, 1);
    GLuint First = 0, Again = 0, Changed = 0;
    LoadTexture(File, First, false, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, 0);
    LoadTexture(File, Again, false, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, 0);
    ASSERT_NE(First, 0u);
    ASSERT_NE(Again, 0u);
    EXPECT_NE(First, Again);
    std::vector<std::pair<int, int>> FirstSizes, AgainSizes, ChangedSizes;
    const auto                       FirstLevels = ReadLevels(First, FirstSizes);
    const auto                       AgainLevels = ReadLevels(Again, AgainSizes);
    ASSERT_GT(FirstLevels.size(), 2u);
    EXPECT_EQ(FirstSizes, AgainSizes);
    EXPECT_EQ(FirstLevels, AgainLevels);
    GLint MinFilter = 0;
    glBindTexture(GL_TEXTURE_2D, Again);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &MinFilter);
    EXPECT_EQ(MinFilter, GL_LINEAR_MIPMAP_LINEAR);

    WriteTga(File, 4, 4, 2); // another picture under the same name
    LoadTexture(File, Changed, false, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, 0);
    const auto ChangedLevels = ReadLevels(Changed, ChangedSizes);
    ASSERT_FALSE(ChangedSizes.empty());
    EXPECT_EQ(ChangedSizes[0], std::make_pair(4, 4));
    EXPECT_EQ(ChangedLevels[0][0], uint8_t((2 * 53 + 2 * 91) & 0xFF)); // red of the first pixel
    glDeleteTextures(1, &First);
    glDeleteTextures(1, &Again);
    glDeleteTextures(1, &Changed);
}

} // namespace
