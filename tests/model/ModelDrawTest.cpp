// Model drawing state read back from a headless context: the material colours, the texture
// coordinates of each vertex, and which bone a parent name links to.
#include "ModelFixture.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A quad over the whole view at z = 0 with a tilted normal, no bone, one material with four
// distinct colours.
void LoadLitQuad(clsModel& Model) {
    SampleModel Sample;
    Sample.Vertices = "4\n0 -1 -1 0 0 0 -1\n0 1 -1 0 1 0 -1\n0 1 1 0 1 1 -1\n0 -1 1 0 0 1 -1\n";
    Sample.Triangles = "2\n0 0 1 2 0 0 0 1\n0 0 2 3 0 0 0 1\n";
    Sample.Normals = "1\n0.0 0.6 0.8\n";
    Sample.Materials = "Materials: 1\n\"Lit\"\n0.1 0.2 0.3 1.0\n0.4 0.5 0.6 1.0\n"
                       "0.7 0.8 0.9 1.0\n0.05 0.15 0.25 1.0\n12.5\n1.0\n\"\"\n\"\"\n";
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
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

} // namespace

TEST(ModelMaterialDrawing, EachColourGoesToItsOwnParameterAndTheNormalAsRead) {
    clsTestGLContext Ctx(16, 16);
    REQUIRE_GL(Ctx);
    clsModel Model;
    LoadLitQuad(Model);
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
            EXPECT_FLOAT_EQ(Got[I], Colour[size_t(I)]) << "parameter " << Parameter << " [" << I << "]";
    }
    GLfloat Normal[3] = {};
    glGetFloatv(GL_CURRENT_NORMAL, Normal);
    EXPECT_FLOAT_EQ(Normal[1], 0.6f);
    EXPECT_FLOAT_EQ(Normal[2], 0.8f);
}

// U is the texture's s and V its t: (0.75, 0.25) shows the green texel, (0.25, 0.75) the blue.
TEST(ModelMaterialDrawing, TextureCoordinatesAreSentAsUThenV) {
    clsTestGLContext Ctx(16, 16);
    REQUIRE_GL(Ctx);
    clsModel Model;
    LoadLitQuad(Model);
    Model.Materials[0].Texture = FourTexelTexture();
    for (const auto& [U, V, Colour] : {std::tuple{0.75f, 0.25f, 1}, std::tuple{0.25f, 0.75f, 2}}) {
        for (clsVec& Vertex : Model.Meshes[0].Vertices)
            Vertex.U = U, Vertex.V = V;
        FlatUnitView(1, 1, 1);
        Model.Draw();
        const auto P = Ctx.Pixel(8, 8);
        for (int C = 0; C < 3; ++C)
            EXPECT_EQ(P[size_t(C)] > 200, C == Colour) << "U " << U << ", V " << V << ", channel " << C;
    }
}

// Of two bones sharing a name, a child's parent name links to the first.
TEST(ModelSkeleton, AParentNameLinksToTheFirstBoneOfThatName) {
    SampleModel Sample;
    Sample.Bones = "Bones: 3\n\"Root\"\n\"\"\n0 1 0 0 0 0 0\n0\n0\n"
                   "\"Root\"\n\"\"\n0 5 0 0 0 0 0\n0\n0\n"
                   "\"Arm\"\n\"Root\"\n0 0 2 0 0 0 0\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
    ASSERT_EQ(Model.BoneCount, 3);
    EXPECT_EQ(Model.Bones[2].Parent, &Model.Bones[0]);
    EXPECT_EQ(Model.Bones[2].Absolute.M[12], 1.0f);
    EXPECT_EQ(Model.Bones[2].Absolute.M[13], 2.0f);
}
