// clsModel: the loader's rules on small hand-written files, the files it must refuse, the key
// tracks, the animation loop and skinned drawing read back from a headless context.
#include "model/Model.h"
#include "ModelFixture.h"
#include "platform/Platform.h"
#include "support/GLContext.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace {

bool Load(clsModel& Model, const std::string& Text) {
    return Model.LoadFromText(Text);
}

std::string Replace(std::string Text, const std::string& From, const std::string& To) {
    const size_t At = Text.find(From);
    EXPECT_NE(At, std::string::npos) << From;
    if (At != std::string::npos) Text.replace(At, From.size(), To);
    return Text;
}

} // namespace

// ---- the rules of the format ----

TEST(ModelLoader, ReadsTheSampleWithItsCountsAndFields) {
    clsModel Model;
    ASSERT_TRUE(Load(Model, SampleModel().Text()));
    EXPECT_EQ(Model.Frames, 30);
    EXPECT_EQ(Model.Time, 1.0f);
    ASSERT_EQ(Model.MeshCount, 1);
    ASSERT_EQ(Model.Meshes.size(), 1u);
    EXPECT_EQ(Model.MeshMaterials[0], 0);
    const clsShape& Mesh = Model.Meshes[0];
    EXPECT_EQ(Mesh.VertexCount, 3);
    EXPECT_EQ(Mesh.NormalCount, 1);
    EXPECT_EQ(Mesh.TriangleCount, 1);
    EXPECT_EQ(Mesh.Vertices[1].X, 1.0f);
    EXPECT_EQ(Mesh.Vertices[1].U, 1.0f);
    EXPECT_EQ(Mesh.Vertices[0].V, 0.75f) << "v = 0.25 in the file is stored as 1 - v";
    EXPECT_EQ(Mesh.Vertices[2].V, 0.0f);
    EXPECT_EQ(Mesh.Triangles[0].VertexIndices[2], 2);
    ASSERT_EQ(Model.MaterialCount, 1);
    const clsMaterial& Red = Model.Materials[0];
    EXPECT_EQ(Red.Name, "Red");
    EXPECT_EQ(Red.Diffuse[0], 0.8f);
    EXPECT_EQ(Red.Ambient[3], 1.0f);
    EXPECT_EQ(Red.Shininess, 12.5f);
    EXPECT_EQ(Red.Transparency, 1.0f);
    EXPECT_EQ(Red.ColourMap, "");
    EXPECT_EQ(Red.Texture, 0u);
    ASSERT_EQ(Model.BoneCount, 1);
    EXPECT_EQ(Model.Bones[0].Name, "Root");
    EXPECT_EQ(Model.Bones[0].ParentName, "");
    EXPECT_EQ(Model.Bones[0].Parent, nullptr);
    EXPECT_EQ(Model.Bones[0].PositionKeyCount, 1);
    EXPECT_EQ(Model.Bones[0].RotationKeys.size(), 1u);
}

TEST(ModelLoader, SkipsCommentsEmptyAndUnknownLinesAnywhereAtTopLevel) {
    SampleModel Sample;
    Sample.Header = "// first\n\nGroupComments: 0\nFrames: 30\n  Frame: 7\nframes: 99\nFrame: 2\n"
                    "// between\nMeshes:x\nwhatever\n\n";
    const std::string Text =
        Replace(Sample.Text(), "Bones: 1", "MaterialComments: 0\n// c\n\nBones: 1") +
        "BoneComments: 0\nModelComment: 0\n";
    clsModel Model;
    ASSERT_TRUE(Load(Model, Text));
    EXPECT_EQ(Model.Frames, 30) << "keywords are case-sensitive";
    EXPECT_EQ(Model.Time, 2.0f) << "an indented \"Frame:\" is not a keyword";
    EXPECT_EQ(Model.MeshCount, 1);
    EXPECT_EQ(Model.MaterialCount, 1);
    EXPECT_EQ(Model.BoneCount, 1);
}

TEST(ModelLoader, MeshesWithoutTheBlankIsNotASection) {
    SampleModel Sample;
    Sample.Vertices = "3\n0 0 0 0 0 0 -1\n0 1 0 0 0 0 -1\n0 0 1 0 0 0 -1\n";
    const std::string Text = Replace(Sample.Text(), "Meshes: 1", "Meshes:1");
    clsModel          Model;
    ASSERT_TRUE(Load(Model, Text));
    EXPECT_EQ(Model.MeshCount, 0);
    EXPECT_TRUE(Model.Meshes.empty());
    EXPECT_EQ(Model.MaterialCount, 1) << "the mesh lines fall through as unknown lines";
}

TEST(ModelLoader, StartsAtFrameZeroWithoutAFrameLine) {
    SampleModel Sample;
    Sample.Header = "Frames: 30\n";
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(Model.Time, 0.0f);
}

TEST(ModelLoader, StartFrameBeyondFramesStartsAtOne) {
    SampleModel Sample;
    Sample.Header = "Frames: 30\nFrame: 31\n";
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(Model.Time, 1.0f);
}

TEST(ModelLoader, NegativeMaterialMeansNone) {
    for (const char* Header : {"\"Box\" 0 -1\n", "\"Box\" 0 -5\n"}) {
        SampleModel Sample;
        Sample.MeshHeader = Header;
        clsModel Model;
        ASSERT_TRUE(Load(Model, Sample.Text())) << Header;
        EXPECT_LT(Model.MeshMaterials[0], 0);
    }
}

TEST(ModelLoader, RemovesQuotesFromNamesAndMeshHeaders) {
    SampleModel Sample;
    Sample.MeshHeader = "\"Bo\"x\" \"1\" 0\n";
    Sample.Materials = Replace(Sample.Materials, "\"Red\"", "\"R\"e\"d");
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(Model.MeshMaterials[0], 0);
    EXPECT_EQ(Model.Materials[0].Name, "Red");
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
    ASSERT_TRUE(Load(Model, Text));
    EXPECT_EQ(Model.Bones[0].ParentName, "") << "the carriage return is not part of the line";
    EXPECT_EQ(Model.Meshes[0].Vertices[1].X, 1.0f);
    EXPECT_EQ(Model.Meshes[0].Vertices[0].BoneIndex, 0);
}

TEST(ModelLoader, SkipsEmptyLinesBetweenRecords) {
    SampleModel Sample;
    Sample.Materials = Replace(Sample.Materials, "Materials: 1\n", "Materials: 1\n\n\n");
    Sample.Bones = Replace(Sample.Bones, "Bones: 1\n", "Bones: 1\n\n");
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(Model.Materials[0].Name, "Red");
    EXPECT_EQ(Model.Bones[0].Name, "Root");
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
    ASSERT_TRUE(Load(Model, Sample.Text()));
    ASSERT_EQ(Model.Bones[0].Parent, &Model.Bones[1]);
    EXPECT_EQ(Model.Meshes[0].Vertices[0].X, 0.0f);
    EXPECT_EQ(Model.Meshes[0].Vertices[1].X, 1.0f);
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 11.0f);
    EXPECT_EQ(Model.Bones[1].Absolute.M[12], 10.0f);
}

TEST(ModelLoader, SkinBindingMovesVerticesIntoTheirBonesRestSpace) {
    SampleModel Sample;
    Sample.Vertices = "3\n0 1.0 2.0 3.0 0 0 0\n0 5.0 0.0 0.0 0 0 -1\n0 0.0 1.0 0.0 0 0 0\n";
    Sample.Bones = "Bones: 1\n\"Root\"\n\"\"\n0 1.0 0.0 0.0 0 0 1.5707963\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    const clsVec& Bound = Model.Meshes[0].Vertices[0];
    // Minus the translation (0, 2, 3), then the inverse quarter turn about z: (2, 0, 3).
    EXPECT_NEAR(Bound.X, 2.0f, 1e-5);
    EXPECT_NEAR(Bound.Y, 0.0f, 1e-5);
    EXPECT_NEAR(Bound.Z, 3.0f, 1e-5);
    EXPECT_EQ(Model.Meshes[0].Vertices[1].X, 5.0f) << "an unskinned vertex stays as read";
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
    ASSERT_TRUE(Load(Model, SampleModel().Text()));
    ASSERT_TRUE(Load(Model, "Frames: 5\n"));
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
        "Frame: 1\n",                          // a starting frame alone
        "frames: 30\nmeshes: 1\nBones:1\n", // keywords are case-sensitive and need their blank
        std::string("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11),
    };
    for (const std::string& Text : NoModels) {
        clsModel Model;
        EXPECT_FALSE(Load(Model, Text)) << "\"" << Text << "\"";
        std::istringstream Stream(Text);
        EXPECT_FALSE(Model.LoadFromStream(Stream)) << "\"" << Text << "\"";
    }
    // One recognised line makes a model, even with nothing in it.
    for (const char* Text : {"Frames: 0\n", "Bones: 0\n", "junk\nMaterials: 0\njunk\n"}) {
        clsModel Model;
        EXPECT_TRUE(Load(Model, Text)) << Text;
    }
}

TEST(ModelLoaderRejects, TextThatIsNotAnInteger) {
    const SampleModel                         Good;
    const std::string                         Base = Good.Text();
    const std::pair<std::string, std::string> Cases[] = {
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
    };
    for (const auto& [From, To] : Cases) {
        clsModel Model;
        EXPECT_FALSE(Load(Model, Replace(Base, From, To))) << To;
    }
}

TEST(ModelLoaderRejects, EverySectionEndingEarly) {
    const std::string Text = SampleModel().Text();
    const size_t      MeshesAt = Text.find("Meshes: ");
    int               Cuts = 0;
    for (size_t End = Text.find('\n', MeshesAt); End + 1 < Text.size();
         End = Text.find('\n', End + 1)) {
        clsModel Model;
        EXPECT_FALSE(Load(Model, Text.substr(0, End + 1))) << "cut after: " << Text.substr(0, End);
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
    EXPECT_FALSE(Load(Model, Text));
    EXPECT_TRUE(Load(Model, Text + "\n")) << "one more line after the mesh is enough";
}

TEST(ModelLoaderRejects, IndicesOutsideTheirTables) {
    const std::string                         Base = SampleModel().Text();
    const std::pair<std::string, std::string> Cases[] = {
        {"0 0 1 2 0 0 0 1", "0 0 1 3 0 0 0 1"},                  // vertex index past the mesh
        {"0 0 1 2 0 0 0 1", "0 -1 1 2 0 0 0 1"},                 // negative vertex index
        {"0 0 1 2 0 0 0 1", "0 0 1 2 0 1 0 1"},                  // normal index past the normals
        {"0 0 1 2 0 0 0 1", "0 0 1 2 0 0 -1 1"},                 // negative normal index
        {"0 0.0 1.0 0.0 0.0 1.0 0", "0 0.0 1.0 0.0 0.0 1.0 1"},  // no bone 1
        {"0 0.0 1.0 0.0 0.0 1.0 0", "0 0.0 1.0 0.0 0.0 1.0 -2"}, // only -1 means unskinned
        {"\"Box\" 0 0", "\"Box\" 0 1"},                          // no material 1
        {"\"\"\n8 0.0", "\"Nobody\"\n8 0.0"},                    // parent of that name missing
    };
    for (const auto& [From, To] : Cases) {
        clsModel Model;
        EXPECT_FALSE(Load(Model, Replace(Base, From, To))) << To;
    }
}

TEST(ModelLoaderRejects, CountsTheFileCannotHold) {
    const std::string                         Base = SampleModel().Text();
    const std::pair<std::string, std::string> Cases[] = {
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
        EXPECT_FALSE(Load(Model, Replace(Base, From, To))) << To;
    }
}

TEST(ModelLoaderRejects, LeavesADrawableModelBehind) {
    // A refused model keeps what was read; drawing it must stay inside its tables.
    clsTestGLContext Ctx(32, 32);
    REQUIRE_GL(Ctx);
    const std::string Text = Replace(SampleModel().Text(), "0 0 1 2 0 0 0 1", "0 0 1 2 0 0 0");
    clsModel          Model;
    ASSERT_FALSE(Load(Model, Text));
    Model.Draw();
    Model.DrawSkeleton();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// ---- key tracks ----

namespace {

std::vector<clsKeyFrame> Keys(std::initializer_list<clsKeyFrame> List) {
    return List;
}

void ExpectValue(const std::vector<clsKeyFrame>& Track, float T, float X, float Y, float Z) {
    float Value[3];
    KeyValueAt(Track, T, Value);
    EXPECT_FLOAT_EQ(Value[0], X) << "t = " << T;
    EXPECT_FLOAT_EQ(Value[1], Y) << "t = " << T;
    EXPECT_FLOAT_EQ(Value[2], Z) << "t = " << T;
}

} // namespace

TEST(KeyLookup, InterpolatesBetweenKeysAndHoldsOutside) {
    const auto Track = Keys({{1, 0, 10, -4}, {11, 10, 20, 4}});
    ExpectValue(Track, 6, 5, 15, 0);
    ExpectValue(Track, 3.5f, 2.5f, 12.5f, -2);
    ExpectValue(Track, 0, 0, 10, -4);
    ExpectValue(Track, -100, 0, 10, -4);
    ExpectValue(Track, 1, 0, 10, -4);
    ExpectValue(Track, 11, 10, 20, 4);
    ExpectValue(Track, 40, 10, 20, 4);
}

TEST(KeyLookup, ExactlyOnAMiddleKeyGivesThatKey) {
    const auto Track = Keys({{1, 0.1f, 0, 0}, {4, 0.7f, 0.3f, 0}, {9, 0, 0, 0}});
    float      Value[3];
    KeyValueAt(Track, 4, Value);
    EXPECT_EQ(Value[0], 0.7f);
    EXPECT_EQ(Value[1], 0.3f);
}

TEST(KeyLookup, NoKeysGiveZeros) {
    float Value[3] = {9, 9, 9};
    KeyValueAt({}, 5, Value);
    EXPECT_EQ(Value[0], 0);
    EXPECT_EQ(Value[1], 0);
    EXPECT_EQ(Value[2], 0);
}

TEST(KeyLookup, EqualNeighbouringTimesTakeTheLaterKey) {
    const auto Track = Keys({{1, 0, 0, 0}, {5, 1, 0, 0}, {5, 2, 0, 0}, {9, 6, 0, 0}});
    ExpectValue(Track, 5, 2, 0, 0);
    ExpectValue(Track, 3, 0.5f, 0, 0);
    ExpectValue(Track, 7, 4, 0, 0);
    const auto Pair = Keys({{3, 1, 1, 1}, {3, 2, 2, 2}});
    ExpectValue(Pair, 3, 2, 2, 2);
    ExpectValue(Pair, 8, 2, 2, 2);
    ExpectValue(Pair, 1, 1, 1, 1);
    const auto Falling = Keys({{5, 1, 0, 0}, {2, 7, 0, 0}});
    ExpectValue(Falling, 6, 7, 0, 0);
}

// ---- animation ----

namespace {

// One bone whose x position runs from 0 at frame 1 to 10 at frame 11.
std::string MovingBone() {
    SampleModel Sample;
    Sample.Header = "Frames: 20\nFrame: 1\n";
    Sample.Bones = "Bones: 1\n\"Root\"\n\"\"\n0 0 0 0 0 0 0\n2\n1 0 0 0\n11 10 0 0\n"
                   "2\n1 0 0 0\n11 0 0 1.5707963\n";
    return Sample.Text();
}

} // namespace

TEST(ModelAnimation, AdvancesAndPosesTheBones) {
    clsModel Model;
    ASSERT_TRUE(Load(Model, MovingBone()));
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 0.0f);
    Model.AdvanceAnimation(5);
    EXPECT_EQ(Model.Time, 6.0f);
    EXPECT_FLOAT_EQ(Model.Bones[0].Absolute.M[12], 5.0f);
    EXPECT_NEAR(Model.Bones[0].Absolute.M[1], std::sin(0.785398f), 1e-5); // half a quarter turn
}

TEST(ModelAnimation, PastFramesRestartsAtOne) {
    clsModel Model;
    ASSERT_TRUE(Load(Model, MovingBone()));
    Model.AdvanceAnimation(19);
    EXPECT_EQ(Model.Time, 20.0f) << "the last frame itself is still played";
    EXPECT_FLOAT_EQ(Model.Bones[0].Absolute.M[12], 10.0f);
    Model.AdvanceAnimation(0.5f);
    EXPECT_EQ(Model.Time, 1.0f);
    EXPECT_EQ(Model.Bones[0].Absolute.M[12], 0.0f);
}

TEST(ModelAnimation, ChildFollowsItsParentInTheSamePass) {
    SampleModel Sample;
    Sample.Header = "Frames: 20\nFrame: 1\n";
    Sample.Bones = "Bones: 2\n\"Root\"\n\"\"\n0 0 0 0 0 0 0\n2\n1 0 0 0\n11 10 0 0\n0\n"
                   "\"Arm\"\n\"Root\"\n0 0 2 0 0 0 0\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    Model.AdvanceAnimation(10);
    EXPECT_FLOAT_EQ(Model.Bones[1].Absolute.M[12], 10.0f);
    EXPECT_FLOAT_EQ(Model.Bones[1].Absolute.M[13], 2.0f);
}

// ---- drawing ----

namespace {

// Pixel (column, row) of a point in normalised device coordinates on a Size x Size target.
int ToPixel(float Ndc, int Size) {
    return int((Ndc + 1.0f) * 0.5f * float(Size));
}

bool IsGreen(const std::vector<uint8_t>& P) {
    return P[0] < 40 && P[1] > 200 && P[2] < 40;
}

void PlainGreenState(int Size) {
    glViewport(0, 0, Size, Size);
    FlatUnitView(0, 1, 0);
}

} // namespace

TEST(ModelDrawing, SkinnedVerticesLandWhereTheirBoneSays) {
    clsTestGLContext Ctx(256, 256);
    REQUIRE_GL(Ctx);
    // A small triangle around (0.6, 0) skinned to a bone at (0.25, 0); a key turns the bone a
    // quarter turn about z, so the triangle swings to about (0.25, 0.35). A second, unskinned
    // triangle stays where the file puts it, around (-0.6, -0.6).
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
    ASSERT_TRUE(Load(Model, Text));

    PlainGreenState(256);
    Model.Draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    clsVec Centre; // the centroid of the skinned triangle in the bone's space
    Centre.X = 0.35f;
    Centre.Y = -0.0333f;
    Centre.Transform(Model.Bones[0].Absolute);
    EXPECT_NEAR(Centre.X, 0.2833f, 1e-3);
    EXPECT_NEAR(Centre.Y, 0.35f, 1e-3);
    EXPECT_TRUE(IsGreen(Ctx.Pixel(ToPixel(Centre.X, 256), ToPixel(Centre.Y, 256))));
    EXPECT_FALSE(IsGreen(Ctx.Pixel(ToPixel(0.6f, 256), ToPixel(-0.03f, 256))))
        << "the unposed place stays empty";
    EXPECT_TRUE(IsGreen(Ctx.Pixel(ToPixel(-0.6f, 256), ToPixel(-0.63f, 256))));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "a mesh without material is drawn untextured";
}

TEST(ModelDrawing, MaterialTextureFromABackslashName) {
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    clsTempFolder Folder;
    WriteSolidBmp("skins/red.bmp", 255, 0, 0);
    SampleModel Sample;
    Sample.Vertices = "4\n0 -1 -1 0 0 0 -1\n0 1 -1 0 1 0 -1\n0 1 1 0 1 1 -1\n0 -1 1 0 0 1 -1\n";
    Sample.Triangles = "2\n0 0 1 2 0 0 0 1\n0 0 2 3 0 0 0 1\n";
    Sample.Materials = Replace(Sample.Materials, "\"\"\n\"\"\n", "\".\\skins\\red.bmp\"\n\"\"\n");
    Sample.Materials = Replace(Sample.Materials, "0.8 0.0 0.0 1.0", "1.0 1.0 1.0 1.0");
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(Model.Materials[0].ColourMap, ".\\skins\\red.bmp");
    ASSERT_NE(Model.Materials[0].Texture, 0u);

    PlainGreenState(64);
    glColor3f(1, 1, 1);
    Model.Draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    const auto P = Ctx.Pixel(32, 32);
    EXPECT_GT(P[0], 200);
    EXPECT_LT(P[1], 40);
    GLfloat Diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, Diffuse);
    EXPECT_EQ(Diffuse[0], 1.0f);
    GLfloat Shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &Shininess);
    EXPECT_EQ(Shininess, 12.5f);
}

// A colour map is reported by the name the model file gives it, backslashes and all.
TEST(ModelDrawing, AMissingColourMapIsReportedByItsWrittenName) {
    clsTempFolder Folder;
    SampleModel   Sample;
    Sample.Materials = Replace(Sample.Materials, "\"\"\n\"\"\n", "\".\\skins\\none.bmp\"\n\"\"\n");
    clsModel  Model;
    const int Before = MessagesShown;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(MessagesShown, Before + 1);
    EXPECT_EQ(LastMessageText, "Error opening .\\skins\\none.bmp");
    EXPECT_EQ(Model.Materials[0].Texture, 0u);
}

TEST(ModelDrawing, SkeletonIsRedLinesWithMagentaJoints) {
    clsTestGLContext Ctx(64, 64);
    REQUIRE_GL(Ctx);
    SampleModel Sample;
    Sample.Bones = "Bones: 2\n\"Root\"\n\"\"\n0 -0.5 0.1 0 0 0 0\n0\n0\n"
                   "\"Tip\"\n\"Root\"\n0 1.0 0 0 0 0 0\n0\n0\n";
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    PlainGreenState(64);
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

TEST(ModelDrawing, ShininessBeyondOpenGLsRangeIsHeldAt128) {
    clsTestGLContext Ctx(16, 16);
    REQUIRE_GL(Ctx);
    SampleModel Sample;
    Sample.Materials = Replace(Sample.Materials, "12.5\n", "16384.0\n");
    clsModel Model;
    ASSERT_TRUE(Load(Model, Sample.Text()));
    EXPECT_EQ(Model.Materials[0].Shininess, 16384.0f) << "the file's value is kept";
    while (glGetError() != GL_NO_ERROR) {
    }
    Model.Materials[0].ApplyMaterial();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLfloat Shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &Shininess);
    EXPECT_EQ(Shininess, 128.0f);
}
