// The loader on real third-party files of the same text format (shared test inputs, never part
// of this repository): counts, quirks of each file, and drawing every one of them.
#include "ModelFixture.h"
#include "model/Model.h"
#include "support/GLContext.h"

#include <gtest/gtest.h>

namespace {

struct ThirdPartyFile {
    const char* Name;
    int32_t     Meshes;
    int32_t     Materials;
    int32_t     Bones;
    int32_t     PositionKeys; // over all bones
    int32_t     RotationKeys;
    float       Frames;
    float       StartFrame;
    int32_t     Vertices; // over all meshes
    int32_t     Normals;
    int32_t     Triangles;
};

const ThirdPartyFile Files[] = {
    {"skinned-cylinder-7-bones.txt", 1, 1, 7, 21, 21, 30, 1, 91, 17, 144},
    {"bird-17-bones-crlf.txt", 14, 3, 17, 47, 47, 40, 1, 422, 376, 487},
    {"submarine-frame-38.txt", 1, 1, 1, 4, 4, 40, 38, 155, 148, 264},
    {"soldier-rig-no-keys.txt", 1, 1, 19, 0, 0, 30, 1, 422, 422, 620},
    {"arrow-note-5-materials-lf.txt", 5, 5, 0, 0, 0, 30, 1, 407, 263, 462},
    {"barrage-blank-lines.txt", 10, 2, 0, 0, 0, 30, 1, 205, 185, 240},
};

#define REQUIRE_THIRD_PARTY()                                                                      \
    do {                                                                                           \
        if (!std::filesystem::is_directory(ThirdPartyFolder()))                                    \
            GTEST_SKIP() << "no shared third-party model files at " << ThirdPartyFolder();         \
    } while (0)

bool LoadThirdParty(clsModel& Model, const std::string& Name) {
    return Model.LoadFromFile(ThirdPartyFolder() + "/" + Name);
}

const clsBone* BoneNamed(const clsModel& Model, const std::string& Name) {
    for (const clsBone& Bone : Model.Bones)
        if (Bone.Name == Name) return &Bone;
    return nullptr;
}

} // namespace

// Each file loads with the counts it declares; drawn with an orthographic view around its posed
// vertices it covers part of the view and raises no OpenGL error (the cylinder's shininess of
// 16384 included).
TEST(ThirdPartyModels, LoadWithTheCountsTheyDeclareAndDraw) {
    REQUIRE_THIRD_PARTY();
    clsTestGLContext Ctx(128, 128);
    REQUIRE_GL(Ctx);
    clsTempFolder Folder; // no texture files here: materials stay untextured
    for (const ThirdPartyFile& File : Files) {
        SCOPED_TRACE(File.Name);
        clsModel Model;
        ASSERT_TRUE(LoadThirdParty(Model, File.Name));
        EXPECT_EQ(Model.MeshCount, File.Meshes);
        EXPECT_EQ(int32_t(Model.Meshes.size()), File.Meshes);
        EXPECT_EQ(Model.MaterialCount, File.Materials);
        EXPECT_EQ(Model.BoneCount, File.Bones);
        int32_t PositionKeys = 0, RotationKeys = 0;
        for (const clsBone& Bone : Model.Bones) {
            PositionKeys += Bone.PositionKeyCount;
            RotationKeys += Bone.RotationKeyCount;
            EXPECT_EQ(Bone.Parent == nullptr, Bone.ParentName.empty()) << Bone.Name;
        }
        EXPECT_EQ(PositionKeys, File.PositionKeys);
        EXPECT_EQ(RotationKeys, File.RotationKeys);
        EXPECT_EQ(Model.Frames, File.Frames);
        EXPECT_EQ(Model.Time, File.StartFrame);
        int32_t Vertices = 0, Normals = 0, Triangles = 0;
        for (const clsShape& Mesh : Model.Meshes) {
            EXPECT_EQ(int32_t(Mesh.Vertices.size()), Mesh.VertexCount);
            EXPECT_EQ(int32_t(Mesh.Normals.size()), Mesh.NormalCount);
            EXPECT_EQ(int32_t(Mesh.Triangles.size()), Mesh.TriangleCount);
            Vertices += Mesh.VertexCount;
            Normals += Mesh.NormalCount;
            Triangles += Mesh.TriangleCount;
        }
        EXPECT_EQ(Vertices, File.Vertices);
        EXPECT_EQ(Normals, File.Normals);
        EXPECT_EQ(Triangles, File.Triangles);
        while (glGetError() != GL_NO_ERROR) {
        }
        EXPECT_GT(DrawFitted(Model, Ctx), 0.05f) << "at least 5% of the view is covered";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST(ThirdPartyModels, BirdLinksLatin1AndStarredParentNames) {
    REQUIRE_THIRD_PARTY();
    clsModel Model;
    ASSERT_TRUE(LoadThirdParty(Model, "bird-17-bones-crlf.txt"));
    const clsBone* Hip = BoneNamed(Model, "H\xFC"
                                          "fte");
    const clsBone* Torso = BoneNamed(Model, "Torso*");
    ASSERT_NE(Hip, nullptr) << "the name is compared byte for byte (Latin-1)";
    ASSERT_NE(Torso, nullptr);
    int HipChildren = 0, TorsoChildren = 0;
    for (const clsBone& Bone : Model.Bones) {
        HipChildren += (Bone.Parent == Hip);
        TorsoChildren += (Bone.Parent == Torso);
    }
    EXPECT_EQ(HipChildren, 2);
    EXPECT_GT(TorsoChildren, 0);
    int Untextured = 0;
    for (int32_t Material : Model.MeshMaterials)
        Untextured += (Material == -1);
    EXPECT_EQ(Untextured, 7);
}

// The submarine's bone dips 5 down at frame 25 and is back by its last key at frame 31; the
// file starts at frame 38, after that key, which holds: the bone stands at its rest place.
TEST(ThirdPartyModels, SubmarineStartsAtFrame38HoldingItsLastKey) {
    REQUIRE_THIRD_PARTY();
    clsModel Model;
    ASSERT_TRUE(LoadThirdParty(Model, "submarine-frame-38.txt"));
    ASSERT_EQ(Model.Bones.size(), 1u);
    const clsMatrix& Pose = Model.Bones[0].Absolute;
    EXPECT_EQ(Pose.M[13], 18.49087f);
    EXPECT_EQ(Pose.M[14], 25.296658f);
    Model.AdvanceAnimation(3); // past frame 40: back to frame 1
    Model.AdvanceAnimation(25);
    EXPECT_EQ(Model.Time, 26.0f);
    EXPECT_FLOAT_EQ(Pose.M[13], 18.49087f - 4.5f) << "halfway between the keys at 25 and 27";
}

TEST(ThirdPartyModels, SubmarineTextureNameGoesThroughTheBackslashHandling) {
    REQUIRE_THIRD_PARTY();
    clsTestGLContext Ctx(32, 32);
    REQUIRE_GL(Ctx);
    const std::string Source = ThirdPartyFolder() + "/submarine-frame-38.txt";
    clsTempFolder     Folder;
    WriteSolidBmp("black.bmp", 0, 0, 0);
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromFile(Source));
    EXPECT_EQ(Model.Materials[0].ColourMap, ".\\black.bmp");
    EXPECT_NE(Model.Materials[0].Texture, 0u) << "\".\\black.bmp\" is read as \"./black.bmp\"";
}

TEST(ThirdPartyModels, ArrowAndBarrageMaterials) {
    REQUIRE_THIRD_PARTY();
    clsModel Arrow;
    ASSERT_TRUE(LoadThirdParty(Arrow, "arrow-note-5-materials-lf.txt"));
    EXPECT_EQ(Arrow.MeshMaterials[3], 4) << "mesh Overlay";
    EXPECT_EQ(Arrow.MeshMaterials[4], 3) << "mesh Color";
    EXPECT_EQ(Arrow.Materials[0].ColourMap, "tex\\black.png");
    EXPECT_EQ(Arrow.Materials[1].ColourMap, "tex\\outside.ini");

    clsModel Barrage;
    ASSERT_TRUE(LoadThirdParty(Barrage, "barrage-blank-lines.txt"));
    EXPECT_EQ(Barrage.Materials[0].Name, "white");
    EXPECT_EQ(Barrage.Materials[1].Name, "yellow") << "the empty line between records is skipped";
    EXPECT_EQ(Barrage.Materials[1].ColourMap, ".\\yellow.bmp");
    EXPECT_EQ(Barrage.Materials[1].AlphaMap, ".\\gradient.bmp");
    EXPECT_EQ(Barrage.Materials[1].Diffuse[0], 0.8f);
    EXPECT_EQ(Barrage.Materials[1].Transparency, 1.0f);
}

TEST(ThirdPartyModels, CylinderIsAChainOfSevenJoints) {
    REQUIRE_THIRD_PARTY();
    clsModel Model;
    ASSERT_TRUE(LoadThirdParty(Model, "skinned-cylinder-7-bones.txt"));
    for (size_t B = 1; B < Model.Bones.size(); B++)
        EXPECT_EQ(Model.Bones[B].Parent, &Model.Bones[B - 1]) << Model.Bones[B].Name;
}
