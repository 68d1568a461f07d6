// clsModel: the loader's rules on small hand-written files, the files it must refuse, the key
// tracks and the animation loop.
#include "model/Model.h"
#include "ModelFixture.h"
#include "support/GLContext.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

// ---- the rules of the format ----

// The sample's counts and fields; its names, frame count, parent name and mesh material are
// checked by the cases below.
TEST(ModelLoader, ReadsTheSampleWithItsCountsAndFields) {
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(SampleModel().Text()));
    EXPECT_EQ(Model.Time, 1.0f);
    ASSERT_EQ(Model.MeshCount, 1);
    ASSERT_EQ(Model.Meshes.size(), 1u);
    const clsShape& Mesh = Model.Meshes[0];
    EXPECT_EQ(Mesh.VertexCount, 3);
    EXPECT_EQ(Mesh.NormalCount, 1);
    EXPECT_EQ(Mesh.TriangleCount, 1);
    EXPECT_EQ(Mesh.Vertices[1].U, 1.0f);
    EXPECT_EQ(Mesh.Vertices[0].V, 0.75f) << "v = 0.25 in the file is stored as 1 - v";
    EXPECT_EQ(Mesh.Vertices[2].V, 0.0f);
    EXPECT_EQ(Mesh.Triangles[0].VertexIndices[2], 2);
    ASSERT_EQ(Model.MaterialCount, 1);
    const clsMaterial& Red = Model.Materials[0];
    EXPECT_EQ(Red.Transparency, 1.0f);
    EXPECT_EQ(Red.ColourMap, "");
    EXPECT_EQ(Red.Texture, 0u);
    ASSERT_EQ(Model.BoneCount, 1);
    EXPECT_EQ(Model.Bones[0].Parent, nullptr);
    EXPECT_EQ(Model.Bones[0].PositionKeyCount, 1);
    EXPECT_EQ(Model.Bones[0].RotationKeys.size(), 1u);
}

// Comments, empty and unknown lines are skipped at the top level and between records.
TEST(ModelLoader, SkipsCommentsEmptyAndUnknownLines) {
    SampleModel Sample;
    Sample.Header = "// first\n\nGroupComments: 0\nFrames: 30\n  Frame: 7\nframes: 99\nFrame: 2\n"
                    "// between\nMeshes:x\nwhatever\n\n";
    Sample.Materials = Replace(Sample.Materials, "Materials: 1\n", "Materials: 1\n\n\n");
    Sample.Bones = Replace(Sample.Bones, "Bones: 1\n", "Bones: 1\n\n");
    const std::string Text =
        Replace(Sample.Text(), "Bones: 1", "MaterialComments: 0\n// c\n\nBones: 1") +
        "BoneComments: 0\nModelComment: 0\n";
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Text));
    EXPECT_EQ(Model.Frames, 30) << "keywords are case-sensitive";
    EXPECT_EQ(Model.Time, 2.0f) << "an indented \"Frame:\" is not a keyword";
    EXPECT_EQ(Model.MeshCount, 1);
    EXPECT_EQ(Model.Materials[0].Name, "Red");
    EXPECT_EQ(Model.Bones[0].Name, "Root");
}

TEST(ModelLoader, MeshesWithoutTheBlankIsNotASection) {
    SampleModel Sample;
    Sample.Vertices = "3\n0 0 0 0 0 0 -1\n0 1 0 0 0 0 -1\n0 0 1 0 0 0 -1\n";
    const std::string Text = Replace(Sample.Text(), "Meshes: 1", "Meshes:1");
    clsModel          Model;
    ASSERT_TRUE(Model.LoadFromText(Text));
    EXPECT_EQ(Model.MeshCount, 0);
    EXPECT_TRUE(Model.Meshes.empty());
    EXPECT_EQ(Model.MaterialCount, 1) << "the mesh lines fall through as unknown lines";
}

// The model starts at its "Frame:" (0 without one); a start beyond "Frames:" restarts at 1.
TEST(ModelLoader, StartsAtTheFileFrameWithinTheLoop) {
    const std::pair<const char*, float> Cases[] = {
        {"Frames: 30\n", 0}, {"Frames: 30\nFrame: 30\n", 30}, {"Frames: 30\nFrame: 31\n", 1}};
    for (const auto& [Header, Time] : Cases) {
        SampleModel Sample;
        Sample.Header = Header;
        clsModel Model;
        ASSERT_TRUE(Model.LoadFromText(Sample.Text())) << Header;
        EXPECT_EQ(Model.Time, Time) << Header;
    }
}

// Quotes go from names and mesh headers; the header's last field is the material, where any
// negative index means none.
TEST(ModelLoader, MeshHeaderEndsWithTheMaterialAndQuotesAreRemoved) {
    const std::pair<const char*, int32_t> Cases[] = {
        {"\"Box\" 0 -1\n", -1}, {"\"Box\" 0 -5\n", -5}, {"\"Bo\"x\" \"1\" 0\n", 0}};
    for (const auto& [Header, Material] : Cases) {
        SampleModel Sample;
        Sample.MeshHeader = Header;
        Sample.Materials = Replace(Sample.Materials, "\"Red\"", "\"R\"e\"d");
        clsModel Model;
        ASSERT_TRUE(Model.LoadFromText(Sample.Text())) << Header;
        EXPECT_EQ(Model.MeshMaterials[0], Material) << Header;
        EXPECT_EQ(Model.Materials[0].Name, "Red");
    }
}

TEST(ModelLoader, ReadsCrlfLinesAndExtraFieldsOnNumberLines) {
    SampleModel Sample;
    Sample.Vertices = "3 trailing words\n"
                      "0 0.0 0.0 0.0 0.0 0.25 0 0.5 7 extra\n"
                      "0 1e0 0.0 0.0 1.0 0.25 0\n"
                      "0 0.0 1.0 0.0 0.0 1.0 0\n";
    std::string Text;
    for (char C : Sample.Text()) {
        if (C == '\n') Text += '\r';
        Text += C;
    }
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Text));
    EXPECT_EQ(Model.Bones[0].ParentName, "") << "the carriage return is not part of the line";
    EXPECT_EQ(Model.Meshes[0].Vertices[1].X, 1.0f);
    EXPECT_EQ(Model.Meshes[0].Vertices[0].BoneIndex, 0);
}

TEST(ModelLoader, ParentListedAfterItsChildUsesThatParentsMatrixAsItStands) {
    // The child at x = 1 below a parent at x = 10, listed first. Its rest pose is taken while
    // the parent is still the identity, so its skinned vertex is bound relative to x = 1; when
    // the start frame poses the bones, the parent holds its rest pose and the child lands at 11.
    SampleModel Sample;
    Sample.Vertices = "3\n0 1.0 0.0 0.0 0 0 0\n0 2.0 0.0 0.0 0 0 0\n0 1.0 1.0 0.0 0 0 0\n";
    Sample.Bones = "Bones: 2\n"
                   "\"Child\"\n\"Parent\"\n0 1.0 0.0 0.0 0 0 0\n0\n0\n"
                   "\"Parent\"\n\"\"\n0 10.0 0.0 0.0 0 0 0\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
    ASSERT_EQ(Model.Bones[0].Parent, &Model.Bones[1]);
    EXPECT_EQ(Model.Meshes[0].Vertices[0].X, 0.0f);
    EXPECT_EQ(Model.Meshes[0].Vertices[1].X, 1.0f);
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 11.0f);
    EXPECT_EQ(Model.Bones[1].Absolute.M[12], 10.0f);
}

// Of two bones sharing a name, a child's parent name links to the first.
TEST(ModelLoader, AParentNameLinksToTheFirstBoneOfThatName) {
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

TEST(ModelLoader, SkinBindingMovesVerticesIntoTheirBonesRestSpace) {
    SampleModel Sample;
    Sample.Vertices = "3\n0 1.0 2.0 3.0 0 0 0\n0 5.0 0.0 0.0 0 0 -1\n0 0.0 1.0 0.0 0 0 0\n";
    Sample.Bones = "Bones: 1\n\"Root\"\n\"\"\n0 1.0 0.0 0.0 0 0 1.5707963\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(Sample.Text()));
    const clsVec& Bound = Model.Meshes[0].Vertices[0];
    // Minus the translation (0, 2, 3), then the inverse quarter turn about z: (2, 0, 3).
    EXPECT_NEAR(Bound.X, 2.0f, 1e-5);
    EXPECT_NEAR(Bound.Y, 0.0f, 1e-5);
    EXPECT_NEAR(Bound.Z, 3.0f, 1e-5);
    EXPECT_EQ(Model.Meshes[0].Vertices[1].X, 5.0f) << "an unskinned vertex stays as read";
    // Without keys the start frame poses the bone at its rest place and turn.
    EXPECT_NEAR(Model.Bones[0].Absolute.M[1], 1.0f, 1e-6);
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 1.0f);
}

TEST(ModelLoader, ReadsFilesAndStreamsAndResolvesBackslashes) {
    clsTempFolder Folder;
    WriteTextFile("models/sample.mdl", SampleModel().Text());
    clsModel FromFile;
    EXPECT_TRUE(FromFile.LoadFromFile("models\\sample.mdl"));
    EXPECT_EQ(FromFile.MeshCount, 1);
    std::istringstream Stream(SampleModel().Text());
    clsModel           FromStream;
    EXPECT_TRUE(FromStream.LoadFromStream(Stream));
    EXPECT_EQ(FromStream.BoneCount, 1);
}

TEST(ModelLoader, ASecondLoadStartsFromAnEmptyModel) {
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(SampleModel().Text()));
    ASSERT_TRUE(Model.LoadFromText("Frames: 5\n"));
    EXPECT_EQ(Model.MeshCount, 0);
    EXPECT_TRUE(Model.Meshes.empty());
    EXPECT_TRUE(Model.Bones.empty());
    EXPECT_EQ(Model.Frames, 5);
}

// ---- files the loader refuses ----

TEST(ModelLoaderRejects, MissingOrUnreadableFiles) {
    clsTempFolder Folder;
    clsModel      Model;
    EXPECT_FALSE(Model.LoadFromFile("models/none.mdl"));
    std::filesystem::create_directory("folder.mdl");
    EXPECT_FALSE(Model.LoadFromFile("folder.mdl"));
}

// Empty, garbage or wrong files hold neither a "Frames:" line nor a section: they are not a
// model of nothing but no model, so the animator reports them.
TEST(ModelLoaderRejects, TextThatIsNoModelAtAll) {
    const std::string NoModels[] = {
        "",
        "\n\r\n\n",
        "// MilkShape 3D ASCII\n\n",
        "[Settings]\nDetailLevel=2\n",
        "Frame: 1\n",                       // a starting frame alone
        "frames: 30\nmeshes: 1\nBones:1\n", // keywords are case-sensitive and need their blank
        std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11),
    };
    for (const std::string& Text : NoModels) {
        clsModel Model;
        EXPECT_FALSE(Model.LoadFromText(Text)) << "\"" << Text << "\"";
        std::istringstream Stream(Text);
        EXPECT_FALSE(Model.LoadFromStream(Stream)) << "\"" << Text << "\"";
    }
    // One recognised line makes a model, even with nothing in it.
    for (const char* Text : {"Frames: 0\n", "Bones: 0\n", "junk\nMaterials: 0\njunk\n"}) {
        clsModel Model;
        EXPECT_TRUE(Model.LoadFromText(Text)) << Text;
    }
}

// One line of the sample changed: each change makes the file one the loader must refuse.
TEST(ModelLoaderRejects, OneBadLineInTheSample) {
    const std::string                         Base = SampleModel().Text();
    const std::pair<std::string, std::string> Cases[] = {
        // Text that is not the integer expected there.
        {"Frames: 30", "Frames: 30x"},
        {"Frames: 30", "Frames: 3.5"},
        {"Frame: 1", "Frame: one"},
        {"Frame: 1", "Frame: 1 "},
        {"Meshes: 1", "Meshes: 1 mesh"},
        {"Materials: 1", "Materials: +"},
        {"Bones: 1", "Bones: 99999999999"},
        {"\"Box\" 0 0", "\"Box\" x 0"},
        {"\"Box\" 0 0", "\"Box\" 0 0.0"},
        {"\"Box\" 0 0", "\"Box\" 0"},
        {"\"Box\" 0 0", "\"My Box\" 0 0"},
        {"\"Box\" 0 0", "Box"},
        {"3\n0 0.0", "three\n0 0.0"},
        {"0 1.0 0.0 0.0 1.0 0.25 0", "0 1.0 0.0 0.0 1.0 0.25 0.5"},
        {"0 1.0 0.0 0.0 1.0 0.25 0", "0 1.0 0.0 0.0 1.0 0.25"},
        {"0 1.0 0.0 0.0 1.0 0.25 0", "0 1.0 zero 0.0 1.0 0.25 0"},
        {"0 0 1 2 0 0 0 1", "0 0 1 2 0 0 0"},
        {"0 0 1 2 0 0 0 1", "0 0 1 2.0 0 0 0 1"},
        {"0.8 0.0 0.0 1.0", "0.8 0.0 0.0"},
        {"12.5", "nan"},
        {"8 0.0 0.0 0.0 0.0 0.0 0.0", "8.5 0.0 0.0 0.0 0.0 0.0 0.0"},
        {"1.0 0.0 0.0 0.0\n1\n", "1.0 0.0 0.0 0.0\n1x\n"},
        // Indices outside their tables.
        {"0 0 1 2 0 0 0 1", "0 0 1 3 0 0 0 1"},                  // vertex index past the mesh
        {"0 0 1 2 0 0 0 1", "0 -1 1 2 0 0 0 1"},                 // negative vertex index
        {"0 0 1 2 0 0 0 1", "0 0 1 2 0 1 0 1"},                  // normal index past the normals
        {"0 0 1 2 0 0 0 1", "0 0 1 2 0 0 -1 1"},                 // negative normal index
        {"0 0.0 1.0 0.0 0.0 1.0 0", "0 0.0 1.0 0.0 0.0 1.0 1"},  // no bone 1
        {"0 0.0 1.0 0.0 0.0 1.0 0", "0 0.0 1.0 0.0 0.0 1.0 -2"}, // only -1 means unskinned
        {"\"Box\" 0 0", "\"Box\" 0 1"},                          // no material 1
        {"\"\"\n8 0.0", "\"Nobody\"\n8 0.0"},                    // parent of that name missing
        // Counts the rest of the file cannot hold.
        {"Meshes: 1", "Meshes: 2000000000"},
        {"Meshes: 1", "Meshes: -1"},
        {"Materials: 1", "Materials: 2"},
        {"Bones: 1", "Bones: 2147483647"},
        {"3\n0 0.0", "2000000000\n0 0.0"},
        {"3\n0 0.0", "-3\n0 0.0"},
        {"1\n0.0 0.0 1.0", "1000000\n0.0 0.0 1.0"},
        {"1\n0 0 1 2", "-1\n0 0 1 2"},
        {"1\n1.0 0.0 0.0 0.0\n1\n", "900000000\n1.0 0.0 0.0 0.0\n1\n"},
    };
    for (const auto& [From, To] : Cases) {
        clsModel Model;
        EXPECT_FALSE(Model.LoadFromText(Replace(Base, From, To))) << To;
    }
}

TEST(ModelLoaderRejects, EverySectionEndingEarly) {
    const std::string Text = SampleModel().Text();
    const size_t      MeshesAt = Text.find("Meshes: ");
    int               Cuts = 0;
    for (size_t End = Text.find('\n', MeshesAt); End + 1 < Text.size();
         End = Text.find('\n', End + 1)) {
        clsModel Model;
        EXPECT_FALSE(Model.LoadFromText(Text.substr(0, End + 1)))
            << "cut after: " << Text.substr(0, End);
        Cuts++;
    }
    EXPECT_GT(Cuts, 20);
}

TEST(ModelLoaderRejects, AMeshAtTheVeryEndOfTheFile) {
    SampleModel       Sample;
    const std::string Text = Sample.Header + "Materials: 0\nMeshes: 1\n\"Box\" 0 -1\n" +
                             "3\n0 0 0 0 0 0 -1\n0 1 0 0 0 0 -1\n0 0 1 0 0 0 -1\n1\n0 0 1\n1\n"
                             "0 0 1 2 0 0 0 1\n";
    clsModel Model;
    EXPECT_FALSE(Model.LoadFromText(Text));
    EXPECT_TRUE(Model.LoadFromText(Text + "\n")) << "one more line after the mesh is enough";
}

TEST(ModelLoaderRejects, LeavesADrawableModelBehind) {
    // A refused model keeps what was read; drawing it must stay inside its tables.
    clsTestGLContext Ctx(32, 32);
    REQUIRE_GL(Ctx);
    const std::string Text = Replace(SampleModel().Text(), "0 0 1 2 0 0 0 1", "0 0 1 2 0 0 0");
    clsModel          Model;
    ASSERT_FALSE(Model.LoadFromText(Text));
    Model.Draw();
    Model.DrawSkeleton();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// ---- key tracks ----

// Linear between neighbouring keys; the first key holds before it, the last after it; of keys
// sharing a time the later one counts; no keys give zeros.
TEST(KeyLookup, InterpolatesBetweenKeysAndHoldsOutsideThem) {
    using Track = std::vector<clsKeyFrame>;
    const Track Two = {{1, 0, 10, -4}, {11, 10, 20, 4}};
    const Track Three = {{1, 0.1f, 0, 0}, {4, 0.7f, 0.3f, 0}, {9, 0, 0, 0}};
    const Track Shared = {{1, 0, 0, 0}, {5, 1, 0, 0}, {5, 2, 0, 0}, {9, 6, 0, 0}};
    const Track Pair = {{3, 1, 1, 1}, {3, 2, 2, 2}};
    const Track Falling = {{5, 1, 0, 0}, {2, 7, 0, 0}};
    const Track None;
    const struct {
        const Track* Keys;
        float        T, X, Y, Z;
    } Cases[] = {
        {&Two, 6, 5, 15, 0},           // halfway
        {&Two, 3.5f, 2.5f, 12.5f, -2}, // a quarter of the way
        {&Two, 0, 0, 10, -4},          // before the first key
        {&Two, -100, 0, 10, -4},       // long before it
        {&Two, 1, 0, 10, -4},          // on the first key
        {&Two, 11, 10, 20, 4},         // on the last key
        {&Two, 40, 10, 20, 4},         // after the last key
        {&Three, 4, 0.7f, 0.3f, 0},    // on a middle key
        {&Shared, 5, 2, 0, 0},         // on two keys of one time: the later
        {&Shared, 3, 0.5f, 0, 0},      // between the first key and them
        {&Shared, 7, 4, 0, 0},         // between the later of them and the last
        {&Pair, 3, 2, 2, 2},           // a track of two keys at one time
        {&Pair, 8, 2, 2, 2},           // after it
        {&Pair, 1, 1, 1, 1},           // before it
        {&Falling, 6, 7, 0, 0},        // after the last key of a falling track
        {&None, 5, 0, 0, 0},           // no keys
    };
    for (const auto& C : Cases) {
        float Value[3] = {9, 9, 9};
        KeyValueAt(*C.Keys, C.T, Value);
        EXPECT_FLOAT_EQ(Value[0], C.X) << "case " << &C - Cases << ", t = " << C.T;
        EXPECT_FLOAT_EQ(Value[1], C.Y) << "case " << &C - Cases << ", t = " << C.T;
        EXPECT_FLOAT_EQ(Value[2], C.Z) << "case " << &C - Cases << ", t = " << C.T;
    }
}

// ---- animation ----

namespace {

// A root bone whose x position runs from 0 at frame 1 to 10 at frame 11 while it turns a quarter
// turn about z, and an arm without keys 2 above it.
std::string MovingBones() {
    SampleModel Sample;
    Sample.Header = "Frames: 20\nFrame: 1\n";
    Sample.Bones = "Bones: 2\n\"Root\"\n\"\"\n0 0 0 0 0 0 0\n2\n1 0 0 0\n11 10 0 0\n"
                   "2\n1 0 0 0\n11 0 0 1.5707963\n"
                   "\"Arm\"\n\"Root\"\n0 0 2 0 0 0 0\n0\n0\n";
    return Sample.Text();
}

} // namespace

// Each bone is posed at the new time, a child from its parent's pose of the same pass.
TEST(ModelAnimation, AdvancesAndPosesTheBones) {
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(MovingBones()));
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 0.0f);
    Model.AdvanceAnimation(5);
    EXPECT_EQ(Model.Time, 6.0f);
    EXPECT_FLOAT_EQ(Model.Bones[0].Absolute.M[12], 5.0f);
    const float Half = 0.785398f; // half a quarter turn
    EXPECT_NEAR(Model.Bones[0].Absolute.M[1], std::sin(Half), 1e-5);
    EXPECT_NEAR(Model.Bones[1].Absolute.M[12], 5 - 2 * std::sin(Half), 1e-5);
    EXPECT_NEAR(Model.Bones[1].Absolute.M[13], 2 * std::cos(Half), 1e-5);
}

TEST(ModelAnimation, PastFramesRestartsAtOne) {
    clsModel Model;
    ASSERT_TRUE(Model.LoadFromText(MovingBones()));
    Model.AdvanceAnimation(19);
    EXPECT_EQ(Model.Time, 20.0f) << "the last frame itself is still played";
    EXPECT_FLOAT_EQ(Model.Bones[0].Absolute.M[12], 10.0f);
    Model.AdvanceAnimation(0.5f);
    EXPECT_EQ(Model.Time, 1.0f);
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 0.0f);
}
