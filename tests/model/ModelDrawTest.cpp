// Model drawing read back from a headless context: skinned vertices placed by their bones, the
// material colours and texture, the texture coordinates of each vertex, and the skeleton view.
#include "ModelFixture.h"
#include "platform/Platform.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A quad over the whole view at z = 0 with a tilted normal, no bone, one material with four
// distinct colours.
SampleModel LitQuad() {
    SampleModel Sample;
    Sample.Vertices = "4\n0 -1 -1 0 0 0 -1\n0 1 -1 0 1 0 -1\n0 1 1 0 1 1 -1\n0 -1 1 0 0 1 -1\n";
    Sample.Triangles = "2\n0 0 1 2 0 0 0 1\n0 0 2 3 0 0 0 1\n";
    Sample.Normals = "1\n0.0 0.6 0.8\n";
    Sample.Materials = "Materials: 1\n\"Lit\"\n0.1 0.2 0.3 1.0\n0.4 0.5 0.6 1.0\n"
                       "0.7 0.8 0.9 1.0\n0.05 0.15 0.25 1.0\n12.5\n1.0\n\"\"\n\"\"\n";
    return Sample;
}

// A 2 x 2 texture without filtering: red at (s, t) low, green where only s is high, blue where
// only t is high, white where both are.
GLuint FourTexelTexture() {
    const uint8_t Texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    GLuint        Name = 0;
    glGenTextures(1, &Name);
    glBindTexture(GL_TEXTURE_2D, Name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, Texels);
    glBindTexture(GL_TEXTURE_2D, 0); // drawing must bind it
    return Name;
}

// A 128 x 128 context for each test.
class ModelDrawing : public ::testing::Test {
  protected:
    void SetUp() override { REQUIRE_GL(Ctx); }
    // The pixel of a point in normalised device coordinates.
    std::vector<uint8_t> At(float X, float Y) const {
        return Ctx.Pixel(int((X + 1) * 0.5f * Ctx.Width), int((Y + 1) * 0.5f * Ctx.Height));
    }
    clsTestGLContext Ctx{128, 128};
};

bool IsGreen(const std::vector<uint8_t>& P) {
    return P[0] < 40 && P[1] > 200 && P[2] < 40;
}

} // namespace

TEST_F(ModelDrawing, SkinnedVerticesLandWhereTheirBoneSays) {
    // A small triangle around (0.6, 0) skinned to a bone at (0.25, 0); a key turns the bone a
    // quarter turn about z, so the triangle's centre swings to (0.283, 0.35). A second,
    // unskinned triangle stays where the file puts it, around (-0.6, -0.6).
    const std::string Text = "Frames: 10\nFrame: 1\nMeshes: 2\n"
                             "\"Arm\" 0 -1\n3\n"
                             "0 0.5 -0.1 0 0 0 0\n0 0.7 -0.1 0 0 0 0\n0 0.6 0.1 0 0 0 0\n"
                             "1\n0 0 1\n1\n0 0 1 2 0 0 0 1\n"
                             "\"Post\" 0 -1\n3\n"
                             "0 -0.7 -0.7 0 0 0 -1\n0 -0.5 -0.7 0 0 0 -1\n0 -0.6 -0.5 0 0 0 -1\n"
                             "1\n0 0 1\n1\n0 0 1 2 0 0 0 1\n"
                             "Materials: 0\n"
                             "Bones: 1\n\"Joint\"\n\"\"\n0 0.25 0 0 0 0 0\n"
                             "1\n1 0 0 0\n1\n1 0 0 1.5707963\n";
    clsModel          Model;
    ASSERT_TRUE(Model.LoadFromText(Text));

    FlatUnitView(0, 1, 0);
    Model.Draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(IsGreen(At(0.2833f, 0.35f)));
    EXPECT_FALSE(IsGreen(At(0.6f, -0.03f))) << "the unposed place stays empty";
    EXPECT_TRUE(IsGreen(At(-0.6f, -0.63f)));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "a mesh without material is drawn untextured";
}

TEST_F(ModelDrawing, EachColourGoesToItsOwnParameterAndTheNormalAsRead) {
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(LitQuad().Text()));
    FlatUnitView(1, 1, 1);
    Model.Draw();
    const std::pair<GLenum, std::array<float, 4>> Expected[] = {
        {GL_AMBIENT, {0.1f, 0.2f, 0.3f, 1}},
        {GL_DIFFUSE, {0.4f, 0.5f, 0.6f, 1}},
        {GL_SPECULAR, {0.7f, 0.8f, 0.9f, 1}},
        {GL_EMISSION, {0.05f, 0.15f, 0.25f, 1}}};
    for (const auto& [Parameter, Colour] : Expected) {
        GLfloat Got[4] = {};
        glGetMaterialfv(GL_FRONT, Parameter, Got);
        for (int I = 0; I < 4; ++I)
            EXPECT_FLOAT_EQ(Got[I], Colour[size_t(I)])
                << "parameter " << Parameter << " [" << I << "]";
    }
    GLfloat Shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &Shininess);
    EXPECT_EQ(Shininess, 12.5f);
    GLfloat Normal[3] = {};
    glGetFloatv(GL_CURRENT_NORMAL, Normal);
    EXPECT_FLOAT_EQ(Normal[1], 0.6f);
    EXPECT_FLOAT_EQ(Normal[2], 0.8f);
}

// OpenGL takes a shininess of at most 128: a larger one in the file is kept, and held at 128
// when the material is set.
TEST_F(ModelDrawing, ShininessBeyondOpenGLsRangeIsHeldAt128) {
    SampleModel Sample = LitQuad();
    Sample.Materials = Replace(Sample.Materials, "12.5\n", "16384.0\n");
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
    EXPECT_EQ(Model.Materials[0].Shininess, 16384.0f) << "the file's value is kept";
    while (glGetError() != GL_NO_ERROR) {
    }
    Model.Materials[0].ApplyMaterial();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat Shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &Shininess);
    EXPECT_EQ(Shininess, 128.0f);
}

// U is the texture's s and V its t: (0.75, 0.25) shows the green texel, (0.25, 0.75) the blue.
TEST_F(ModelDrawing, TextureCoordinatesAreSentAsUThenV) {
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(LitQuad().Text()));
    Model.Materials[0].Texture = FourTexelTexture();
    for (const auto& [U, V, Colour] : {std::tuple{0.75f, 0.25f, 1}, std::tuple{0.25f, 0.75f, 2}}) {
        for (clsVec& Vertex : Model.Meshes[0].Vertices)
            Vertex.U = U, Vertex.V = V;
        FlatUnitView(1, 1, 1);
        Model.Draw();
        const auto P = At(0, 0);
        for (int C = 0; C < 3; ++C)
            EXPECT_EQ(P[size_t(C)] > 200, C == Colour)
                << "U " << U << ", V " << V << ", channel " << C;
    }
}

// The colour map is named as the model file writes it, backslashes and all: drawing binds it, and
// a missing one is reported by that name.
TEST_F(ModelDrawing, AColourMapByItsWrittenNameIsBoundOrReportedMissing) {
    clsTempFolder Folder;
    WriteSolidBmp("skins/red.bmp", 255, 0, 0);
    SampleModel Sample = LitQuad();
    Sample.Materials = Replace(Sample.Materials, "\"\"\n\"\"\n", "\".\\skins\\red.bmp\"\n\"\"\n");
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
    EXPECT_EQ(Model.Materials[0].ColourMap, ".\\skins\\red.bmp");
    ASSERT_NE(Model.Materials[0].Texture, 0u);

    FlatUnitView(0, 1, 0);
    glColor3f(1, 1, 1);
    Model.Draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    const auto P = At(0, 0);
    EXPECT_GT(P[0], 200);
    EXPECT_LT(P[1], 40);

    clsModel  Missing;
    const int Before = MessagesShown;
    ASSERT_TRUE(Missing.LoadFromText(Replace(Sample.Text(), "red.bmp", "none.bmp")));
    EXPECT_EQ(MessagesShown, Before + 1);
    EXPECT_EQ(LastMessageText, "Error opening .\\skins\\none.bmp");
    EXPECT_EQ(Missing.Materials[0].Texture, 0u);
}

TEST_F(ModelDrawing, SkeletonIsRedLinesWithMagentaJoints) {
    SampleModel Sample;
    Sample.Bones = "Bones: 2\n\"Root\"\n\"\"\n0 -0.5 0.1 0 0 0 0\n0\n0\n"
                   "\"Tip\"\n\"Root\"\n0 1.0 0 0 0 0 0\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
    FlatUnitView(0, 1, 0);
    Model.DrawSkeleton();
    const auto Line = Ctx.ReadPixels();
    int        Red = 0, Magenta = 0;
    for (size_t I = 0; I < Line.size(); I += 4) {
        Red += (Line[I] > 200 && Line[I + 1] < 40 && Line[I + 2] < 40);
        Magenta += (Line[I] > 200 && Line[I + 1] < 40 && Line[I + 2] > 200);
    }
    EXPECT_GT(Red, 20) << "a line from x = -0.5 to 0.5";
    EXPECT_GE(Magenta, 2) << "a joint at each end";
    GLfloat Colour[4];
    glGetFloatv(GL_CURRENT_COLOR, Colour);
    EXPECT_EQ(Colour[1], 1.0f) << "the colour is white again afterwards";
}
