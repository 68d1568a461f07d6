// The generated model files, read and posed by the game's own loader, checked for the properties
// the game relies on: complete files, sizes, orientation, skeleton order, posing, level of detail.
#include "DataFiles.h"
#include "model/Model.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

const char* const ModelNames[] = {"hero.mdl",     "tiger.mdl",   "turret.mdl",
                                  "turret_f.mdl", "tiger_f.mdl", "bonus.mdl",
                                  "house.mdl",    "xpdisk.mdl",  "xpsphere.mdl"};

// Models are loaded as the game loads them: in a GL context, from a working folder that sees the
// generated data, so that their colour maps load too.
class Models : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_GL(Ctx);
        ASSERT_TRUE(Temp.Ready());
        Temp.LinkGameData(DataDir());
    }
    clsTestGLContext Ctx{16, 16};
    clsTempFolder    Temp;
};

// The model, posed at its starting frame; an empty one when the loader refuses the file.
std::unique_ptr<clsModel> Load(const std::string& Name) {
    auto M = std::make_unique<clsModel>();
    EXPECT_TRUE(M->LoadFromFile("models/" + Name)) << Name;
    return M;
}

// Vertex V of M where the game draws it: through its bone's current matrix.
std::array<double, 3> Placed(const clsModel& M, const clsVec& V) {
    float P[3] = {V.X, V.Y, V.Z};
    if (V.BoneIndex >= 0) {
        M.Bones[size_t(V.BoneIndex)].Absolute.RotateVect(P);
        M.Bones[size_t(V.BoneIndex)].Absolute.TranslateVect(P);
    }
    return {P[0], P[1], P[2]};
}

int Find(const clsModel& M, const std::string& Name) {
    for (size_t I = 0; I < M.Bones.size(); ++I)
        if (M.Bones[I].Name == Name) return static_cast<int>(I);
    return -1;
}

struct Bounds {
    double Lo[3] = {1e9, 1e9, 1e9}, Hi[3] = {-1e9, -1e9, -1e9};
    double Size(int A) const { return Hi[A] - Lo[A]; }
    double Centre(int A) const { return (Hi[A] + Lo[A]) / 2; }
};

// The box around every vertex as the model is drawn.
Bounds BoundsOf(const clsModel& M) {
    Bounds B;
    for (const clsShape& Mesh : M.Meshes)
        for (const clsVec& V : Mesh.Vertices) {
            const std::array<double, 3> P = Placed(M, V);
            for (int A = 0; A < 3; ++A) {
                B.Lo[A] = std::min(B.Lo[A], P[A]);
                B.Hi[A] = std::max(B.Hi[A], P[A]);
            }
        }
    return B;
}

int TriangleCount(const clsModel& M) {
    int N = 0;
    for (const clsShape& Mesh : M.Meshes)
        N += static_cast<int>(Mesh.Triangles.size());
    return N;
}

} // namespace

// The loader has checked every count and index; what it allows but the game's models must not
// have: a mesh without a material or triangles, a key track out of order, a bone listed before
// its parent (posing goes through the bones in file order).
TEST_F(Models, EveryFileIsCompleteAndConsistent) {
    for (const char* Name : ModelNames) {
        SCOPED_TRACE(Name);
        const auto M = Load(Name);
        EXPECT_GE(M->Frames, 1);
        ASSERT_FALSE(M->Meshes.empty());
        for (size_t I = 0; I < M->Meshes.size(); ++I) {
            EXPECT_GE(M->MeshMaterials[I], 0) << "mesh " << I;
            EXPECT_FALSE(M->Meshes[I].Triangles.empty()) << "mesh " << I;
        }
        for (size_t I = 0; I < M->Bones.size(); ++I) {
            const clsBone& B = M->Bones[I];
            EXPECT_FALSE(B.PositionKeys.empty()) << B.Name;
            EXPECT_FALSE(B.RotationKeys.empty()) << B.Name;
            for (const auto* Keys : {&B.PositionKeys, &B.RotationKeys})
                for (size_t K = 1; K < Keys->size(); ++K)
                    EXPECT_LT((*Keys)[K - 1].Time, (*Keys)[K].Time) << B.Name;
            if (B.Parent) {
                EXPECT_LT(B.Parent - M->Bones.data(), static_cast<ptrdiff_t>(I))
                    << B.Name << " is listed before its parent";
            }
        }
    }
}

TEST_F(Models, MaterialsNameGeneratedTextures) {
    for (const char* Name : ModelNames) {
        const auto M = Load(Name);
        for (const clsMaterial& Material : M->Materials) {
            EXPECT_EQ(Material.ColourMap.rfind("textures/", 0), 0u)
                << Name << ": " << Material.ColourMap;
            EXPECT_NE(Material.Texture, 0u)
                << Name << ": " << Material.ColourMap << " did not load";
        }
    }
}

// Winding against the normals the file gives, at the rest pose where the vertices stand as
// written.
TEST_F(Models, TrianglesWindCounterClockwiseWithOutwardNormals) {
    for (const char* Name : ModelNames) {
        const auto M = Load(Name);
        for (clsBone& B : M->Bones)
            B.SetupBone();
        for (const clsShape& Mesh : M->Meshes)
            for (const clsTri& T : Mesh.Triangles) {
                const auto   A = Placed(*M, Mesh.Vertices[size_t(T.VertexIndices[0])]);
                const auto   B = Placed(*M, Mesh.Vertices[size_t(T.VertexIndices[1])]);
                const auto   C = Placed(*M, Mesh.Vertices[size_t(T.VertexIndices[2])]);
                const double E1[3] = {B[0] - A[0], B[1] - A[1], B[2] - A[2]},
                             E2[3] = {C[0] - A[0], C[1] - A[1], C[2] - A[2]};
                const double F[3] = {E1[1] * E2[2] - E1[2] * E2[1], E1[2] * E2[0] - E1[0] * E2[2],
                                     E1[0] * E2[1] - E1[1] * E2[0]};
                double       Dot = 0;
                for (int K = 0; K < 3; ++K) {
                    const clsNormal& N = Mesh.Normals[size_t(T.NormalIndices[K])];
                    Dot += F[0] * N.X + F[1] * N.Y + F[2] * N.Z;
                }
                EXPECT_GT(Dot, 0.0) << Name << ": a triangle winds against its normals";
            }
    }
    // On the sphere, outward means away from the centre.
    const auto Sphere = Load("xpsphere.mdl");
    for (const clsShape& Mesh : Sphere->Meshes)
        for (const clsTri& T : Mesh.Triangles)
            for (int K = 0; K < 3; ++K) {
                const auto       V = Placed(*Sphere, Mesh.Vertices[size_t(T.VertexIndices[K])]);
                const clsNormal& N = Mesh.Normals[size_t(T.NormalIndices[K])];
                EXPECT_GT(V[0] * N.X + V[1] * N.Y + V[2] * N.Z, 0.0);
            }
}

TEST_F(Models, ActorsStandOnTheirBaseCentredAndSizedAsTheGameScalesThem) {
    struct Expect {
        const char* Name;
        double      Width, Height, Length, Slack;
    };
    const Expect Sizes[] = {{"hero.mdl", 30, 25, 40, 6},     {"tiger.mdl", 30, 25, 40, 6},
                            {"tiger_f.mdl", 30, 25, 40, 6},  {"turret.mdl", 30, 30, 30, 5},
                            {"turret_f.mdl", 30, 30, 30, 5}, {"bonus.mdl", 20, 20, 20, 4}};
    for (const Expect& E : Sizes) {
        SCOPED_TRACE(E.Name);
        const Bounds B = BoundsOf(*Load(E.Name));
        EXPECT_NEAR(B.Lo[1], -10.0, 0.6) << "the base stands at y = -10";
        EXPECT_NEAR(B.Size(0), E.Width, E.Slack);
        EXPECT_NEAR(B.Size(1), E.Height, E.Slack);
        EXPECT_NEAR(B.Size(2), E.Length, E.Slack);
        EXPECT_NEAR(B.Centre(0), 0.0, 1.0);
        EXPECT_NEAR(B.Centre(2), 0.0, 2.5);
    }
}

TEST_F(Models, TanksFaceForwardAlongPlusZ) {
    // The gun is the part that reaches furthest along the model's front, +Z.
    for (const char* Name : {"hero.mdl", "tiger.mdl", "turret.mdl"}) {
        const Bounds All = BoundsOf(*Load(Name));
        EXPECT_GT(All.Hi[2], -All.Lo[2] + 0.5) << Name << " reaches further forward than back";
    }
}

TEST_F(Models, FarModelsKeepTheOutlineWithAboutAFifthOfTheTriangles) {
    for (const auto& [Near, Far] :
         {std::pair{"tiger.mdl", "tiger_f.mdl"}, std::pair{"turret.mdl", "turret_f.mdl"}}) {
        SCOPED_TRACE(Far);
        const auto   N = Load(Near), F = Load(Far);
        const double Ratio = double(TriangleCount(*F)) / TriangleCount(*N);
        EXPECT_GT(Ratio, 0.1);
        EXPECT_LT(Ratio, 0.3);
        const Bounds BN = BoundsOf(*N), BF = BoundsOf(*F);
        for (int A = 0; A < 3; ++A) {
            EXPECT_NEAR(BN.Lo[A], BF.Lo[A], 1.5) << "axis " << A;
            EXPECT_NEAR(BN.Hi[A], BF.Hi[A], 1.5) << "axis " << A;
        }
    }
}

TEST_F(Models, SkinnedTanksHaveASkeletonThatReallyPoses) {
    for (const char* Name : {"hero.mdl", "tiger.mdl"}) {
        SCOPED_TRACE(Name);
        const auto M = Load(Name);
        ASSERT_GE(M->Bones.size(), 3u);
        int Bound = 0, Total = 0, Turned = 0, Keyed = 0;
        for (const clsShape& Mesh : M->Meshes)
            for (const clsVec& V : Mesh.Vertices) {
                ++Total;
                Bound += V.BoneIndex >= 0;
            }
        for (const clsBone& B : M->Bones) {
            Turned +=
                std::fabs(B.Rotation[0]) + std::fabs(B.Rotation[1]) + std::fabs(B.Rotation[2]) >
                0.01;
            for (const clsKeyFrame& K : B.RotationKeys)
                Keyed += std::fabs(K.X) + std::fabs(K.Y) + std::fabs(K.Z) > 0.01;
        }
        EXPECT_EQ(Bound, Total) << "every vertex is bound to a bone";
        EXPECT_GE(Turned, 2) << "bones with a rest rotation";
        EXPECT_GE(Keyed, 2) << "rotation keys that move";
        EXPECT_GT(M->Time, 1.0f) << "the file starts the walk inside its loop";
    }
}

TEST_F(Models, TheWalkerStrideLiftsOneDiagonalPairOfFeet) {
    // Posed at its starting frame the walker keeps two feet on the ground and lifts the other two.
    const auto          M = Load("hero.mdl");
    std::vector<double> Lowest;
    for (const char* Knee : {"KneeFrontLeft", "KneeFrontRight", "KneeRearLeft", "KneeRearRight"}) {
        const int B = Find(*M, Knee);
        ASSERT_GE(B, 0) << Knee;
        double Low = 1e9;
        for (const clsShape& Mesh : M->Meshes)
            for (const clsVec& V : Mesh.Vertices)
                if (V.BoneIndex == B) Low = std::min(Low, Placed(*M, V)[1]);
        Lowest.push_back(Low);
    }
    EXPECT_NEAR(Lowest[0], -10.0, 0.3); // front left and rear right stand
    EXPECT_NEAR(Lowest[3], -10.0, 0.3);
    EXPECT_GT(Lowest[1], Lowest[0] + 0.1); // front right and rear left are lifted
    EXPECT_GT(Lowest[2], Lowest[3] + 0.1);
}
