// Textures loaded again in the same run come from the levels kept at their first upload: every
// mipmap level is the same as a fresh decode and filter would give, and a file changed on disk
// is decoded anew.
#include <GL/gl.h>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "render/Textures.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"

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
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()),
                                                std::streamsize(Bytes.size()));
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
        if (W <= 0 || H <= 0)
            break;
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
    const auto FirstLevels = ReadLevels(First, FirstSizes);
    const auto AgainLevels = ReadLevels(Again, AgainSizes);
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
