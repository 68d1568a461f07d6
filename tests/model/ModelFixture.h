// Shared helpers of the model tests: a temporary working folder, small files, sample models,
// drawing in a known plain state.
#pragma once
#include "model/Model.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"

#include <GL/gl.h>
#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

inline void WriteTextFile(const std::string& Name, const std::string& Content) {
    std::filesystem::path File(Name);
    if (File.has_parent_path()) std::filesystem::create_directories(File.parent_path());
    std::ofstream Out(Name, std::ios::binary);
    Out << Content;
}

// A 2 x 2 uncompressed 24-bit bitmap of one colour.
inline void WriteSolidBmp(const std::string& Name, uint8_t R, uint8_t G, uint8_t B) {
    std::string Data(54 + 16, '\0'); // the two headers, then two rows of 6 bytes padded to 8
    const auto  Put = [&](size_t At, uint32_t Value, int Bytes) {
        for (int I = 0; I < Bytes; I++)
            Data[At + size_t(I)] = char((Value >> (8 * I)) & 0xFF);
    };
    Put(0, 'B' | 'M' << 8, 2);
    Put(2, uint32_t(Data.size()), 4);
    Put(10, 54, 4); // where the pixels start
    Put(14, 40, 4); // information header size
    Put(18, 2, 4);  // width
    Put(22, 2, 4);  // height
    Put(26, 1, 2);  // planes
    Put(28, 24, 2); // bits per pixel
    Put(34, 16, 4); // pixel bytes
    for (size_t At : {54, 57, 62, 65})
        Put(At, uint32_t(B | G << 8 | R << 16), 3);
    WriteTextFile(Name, Data);
}

// One mesh of one triangle skinned to bone 0, one material, one root bone with one key on
// each track at frame 1. The pieces can be swapped to build the cases of a test.
struct SampleModel {
    std::string Header = "// MilkShape 3D ASCII\n\nFrames: 30\nFrame: 1\n\n";
    std::string MeshHeader = "\"Box\" 0 0\n";
    std::string Vertices = "3\n"
                           "0 0.0 0.0 0.0 0.0 0.25 0\n"
                           "0 1.0 0.0 0.0 1.0 0.25 0\n"
                           "0 0.0 1.0 0.0 0.0 1.0 0\n";
    std::string Normals = "1\n0.0 0.0 1.0\n";
    std::string Triangles = "1\n0 0 1 2 0 0 0 1\n";
    std::string Materials = "Materials: 1\n"
                            "\"Red\"\n"
                            "0.2 0.2 0.2 1.0\n"
                            "0.8 0.0 0.0 1.0\n"
                            "0.0 0.0 0.0 1.0\n"
                            "0.0 0.0 0.0 1.0\n"
                            "12.5\n"
                            "1.0\n"
                            "\"\"\n"
                            "\"\"\n\n";
    std::string Bones = "Bones: 1\n"
                        "\"Root\"\n"
                        "\"\"\n"
                        "8 0.0 0.0 0.0 0.0 0.0 0.0\n"
                        "1\n"
                        "1.0 0.0 0.0 0.0\n"
                        "1\n"
                        "1.0 0.0 0.0 0.0\n";
    std::string Text() const {
        return Header + "Meshes: 1\n" + MeshHeader + Vertices + Normals + Triangles + "\n" +
               Materials + Bones;
    }
};

// Text with the first occurrence of From replaced by To; a missing From fails the test.
inline std::string Replace(std::string Text, const std::string& From, const std::string& To) {
    const size_t At = Text.find(From);
    EXPECT_NE(At, std::string::npos) << From;
    if (At != std::string::npos) Text.replace(At, From.size(), To);
    return Text;
}

// Where the shared third-party test inputs live (absent in a fresh clone).
inline std::string ThirdPartyFolder() {
    return std::string(TARVIX_SHARED_TESTDATA) + "/ms3d-ascii";
}

// Unlit, no depth test, both faces, the target cleared to black and the colour (R, G, B)
// current: what is drawn next shows exactly where it lands.
inline void FlatColourState(float R, float G, float B) {
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(R, G, B);
}

// The same with the view showing -1..1 in x and y, drawn as they are.
inline void FlatUnitView(float R, float G, float B) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    FlatColourState(R, G, B);
}

// Draws Model in white, unlit, with an orthographic view fitted around its posed vertices, and
// returns the share of the view it covers (0 to 1).
inline float DrawFitted(const clsModel& Model, const clsTestGLContext& Ctx) {
    float Low[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
    float High[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    for (const clsShape& Mesh : Model.Meshes) {
        for (const clsVec& V : Mesh.Vertices) {
            float P[3] = {V.X, V.Y, V.Z};
            if (V.BoneIndex >= 0) {
                Model.Bones[size_t(V.BoneIndex)].Absolute.RotateVect(P);
                Model.Bones[size_t(V.BoneIndex)].Absolute.TranslateVect(P);
            }
            for (int A = 0; A < 3; A++) {
                Low[A] = std::min(Low[A], P[A]);
                High[A] = std::max(High[A], P[A]);
            }
        }
    }
    // Look along the thinnest axis W, so flat shapes (a disk) are seen face on.
    int W = 0;
    for (int A = 1; A < 3; A++)
        if (High[A] - Low[A] < High[W] - Low[W]) W = A;
    const int U = (W + 1) % 3, V = (W + 2) % 3;
    for (int A = 0; A < 3; A++)
        if (High[A] - Low[A] < 1e-3f) {
            Low[A] -= 1;
            High[A] += 1;
        }
    GLfloat View[16] = {0};
    View[U * 4 + 0] = 1; // eye x = U, eye y = V, eye z = W
    View[V * 4 + 1] = 1;
    View[W * 4 + 2] = 1;
    View[15] = 1;
    glViewport(0, 0, Ctx.Width, Ctx.Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(Low[U], High[U], Low[V], High[V], -High[W] - 1, -Low[W] + 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(View);
    FlatColourState(1, 1, 1);
    Model.Draw();
    const auto Pixels = Ctx.ReadPixels();
    size_t     Lit = 0;
    for (size_t I = 0; I < Pixels.size(); I += 4)
        Lit += (Pixels[I] > 20 || Pixels[I + 1] > 20 || Pixels[I + 2] > 20);
    return float(Lit) / float(Pixels.size() / 4);
}
