// The generated model files: read with a small strict reader of the text model format, then checked
// for the properties the game relies on (sizes, orientation, skeleton order, posing, level of detail).
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct Vertex {
    double X, Y, Z, U, V;
    int    Bone;
};
struct Triangle {
    int V[3], N[3];
};
struct Mesh {
    std::string Name;
    int         Material;
    std::vector<Vertex>             Vertices;
    std::vector<std::vector<double>> Normals;
    std::vector<Triangle>           Triangles;
};
struct Key {
    double T, X, Y, Z;
};
struct Bone {
    std::string Name, Parent;
    double      Pos[3], Rot[3];
    std::vector<Key> PosKeys, RotKeys;
};
struct Model {
    int Frames = -1, Frame = -1;
    std::vector<Mesh>        Meshes;
    std::vector<std::string> ColourMaps;
    std::vector<Bone>        Bones;
};

std::string Unquoted(std::string S) {
    S.erase(std::remove(S.begin(), S.end(), '"'), S.end());
    return S;
}

// Reads one model; every count must be followed by exactly that many records.
class clsReader {
  public:
    explicit clsReader(const std::string& Path) : In(Path) {}
    std::string Error;

    bool Read(Model& M) {
        if (!In)
            return Fail("cannot open");
        std::string L;
        while (std::getline(In, L)) {
            if (L.empty() || L.rfind("//", 0) == 0)
                continue;
            if (L.rfind("Frames:", 0) == 0)
                M.Frames = std::stoi(L.substr(7));
            else if (L.rfind("Frame:", 0) == 0)
                M.Frame = std::stoi(L.substr(6));
            else if (L.rfind("Meshes: ", 0) == 0) {
                M.Meshes.resize(Count(L.substr(8)));
                for (Mesh& Me : M.Meshes)
                    if (!ReadMesh(Me))
                        return false;
            } else if (L.rfind("Materials: ", 0) == 0) {
                const int N = Count(L.substr(11));
                for (int I = 0; I < N; ++I)
                    if (!ReadMaterial(M))
                        return false;
            } else if (L.rfind("Bones: ", 0) == 0) {
                M.Bones.resize(Count(L.substr(7)));
                for (Bone& B : M.Bones)
                    if (!ReadBone(B))
                        return false;
            } else
                return Fail("unexpected line: " + L);
        }
        return Error.empty();
    }

  private:
    std::ifstream In;

    bool Fail(const std::string& Why) {
        if (Error.empty())
            Error = Why;
        return false;
    }
    int Count(const std::string& Text) {
        size_t Used = 0;
        const int N = std::stoi(Text, &Used);
        if (Used != Text.size() || N < 0)
            Fail("bad count: " + Text);
        return N;
    }
    bool Line(std::istringstream& S) {
        std::string L;
        if (!std::getline(In, L))
            return Fail("file ends inside a section");
        S = std::istringstream(L);
        return true;
    }
    bool ReadCount(int& N) {
        std::istringstream S;
        return Line(S) && (S >> N) && N >= 0 ? true : Fail("bad count line");
    }
    bool ReadMesh(Mesh& Me) {
        std::string Header;
        if (!std::getline(In, Header))
            return Fail("missing mesh header");
        std::istringstream H(Unquoted(Header));
        int Flags;
        if (!(H >> Me.Name >> Flags >> Me.Material))
            return Fail("bad mesh header: " + Header);
        int N;
        if (!ReadCount(N))
            return false;
        Me.Vertices.resize(N);
        for (Vertex& V : Me.Vertices) {
            std::istringstream S;
            if (!Line(S) || !(S >> Flags >> V.X >> V.Y >> V.Z >> V.U >> V.V >> V.Bone))
                return Fail("bad vertex in " + Me.Name);
        }
        if (!ReadCount(N))
            return false;
        Me.Normals.resize(N, std::vector<double>(3));
        for (auto& Nm : Me.Normals) {
            std::istringstream S;
            if (!Line(S) || !(S >> Nm[0] >> Nm[1] >> Nm[2]))
                return Fail("bad normal in " + Me.Name);
        }
        if (!ReadCount(N))
            return false;
        Me.Triangles.resize(N);
        for (Triangle& T : Me.Triangles) {
            std::istringstream S;
            int Group;
            if (!Line(S) || !(S >> Flags >> T.V[0] >> T.V[1] >> T.V[2] >> T.N[0] >> T.N[1] >> T.N[2] >> Group))
                return Fail("bad triangle in " + Me.Name);
        }
        return true;
    }
    bool ReadMaterial(Model& M) {
        std::istringstream S;
        for (int I = 0; I < 7; ++I)
            if (!Line(S))
                return false;
        std::string Map, Alpha;
        if (!std::getline(In, Map) || !std::getline(In, Alpha))
            return Fail("material ends early");
        M.ColourMaps.push_back(Unquoted(Map));
        return true;
    }
    bool ReadBone(Bone& B) {
        std::string Name, Parent;
        if (!std::getline(In, Name) || !std::getline(In, Parent))
            return Fail("bone ends early");
        B.Name = Unquoted(Name);
        B.Parent = Unquoted(Parent);
        std::istringstream S;
        int Flags, N;
        if (!Line(S) || !(S >> Flags >> B.Pos[0] >> B.Pos[1] >> B.Pos[2] >> B.Rot[0] >> B.Rot[1] >> B.Rot[2]))
            return Fail("bad bone line of " + B.Name);
        for (std::vector<Key>* Keys : {&B.PosKeys, &B.RotKeys}) {
            if (!ReadCount(N))
                return false;
            Keys->resize(N);
            for (Key& K : *Keys)
                if (!Line(S) || !(S >> K.T >> K.X >> K.Y >> K.Z))
                    return Fail("bad key of " + B.Name);
        }
        return true;
    }
};

Model Load(const std::string& Name) {
    Model M;
    clsReader R(DataDir() + "/models/" + Name);
    EXPECT_TRUE(R.Read(M)) << Name << ": " << R.Error;
    return M;
}

const char* const ModelNames[] = {"hero.mdl",  "tiger.mdl", "turret.mdl",  "turret_f.mdl", "tiger_f.mdl",
                                  "bonus.mdl", "house.mdl", "xpdisk.mdl",  "xpsphere.mdl"};

// ---- Posing, as the game's matrix and skeleton code does it --------------------------------------

struct Rigid {
    double R[9], T[3];   // R row-major
    void Apply(const double In[3], double Out[3]) const {
        for (int I = 0; I < 3; ++I)
            Out[I] = R[I * 3] * In[0] + R[I * 3 + 1] * In[1] + R[I * 3 + 2] * In[2] + T[I];
    }
};

Rigid Euler(const double A[3], const double T[3]) {
    const double CR = std::cos(A[0]), SR = std::sin(A[0]), CP = std::cos(A[1]), SP = std::sin(A[1]);
    const double CY = std::cos(A[2]), SY = std::sin(A[2]);
    // Column-major elements 0..2, 4..6, 8..10 of the game's rotation matrix.
    const double C[9] = {CP * CY, CP * SY, -SP, SR * SP * CY - CR * SY, SR * SP * SY + CR * CY, SR * CP,
                         CR * SP * CY + SR * SY, CR * SP * SY - SR * CY, CR * CP};
    Rigid M;
    for (int Col = 0; Col < 3; ++Col)
        for (int Row = 0; Row < 3; ++Row)
            M.R[Row * 3 + Col] = C[Col * 3 + Row];
    for (int I = 0; I < 3; ++I)
        M.T[I] = T[I];
    return M;
}

Rigid Compose(const Rigid& A, const Rigid& B) {
    Rigid M;
    for (int Row = 0; Row < 3; ++Row)
        for (int Col = 0; Col < 3; ++Col)
            M.R[Row * 3 + Col] = A.R[Row * 3] * B.R[Col] + A.R[Row * 3 + 1] * B.R[3 + Col] + A.R[Row * 3 + 2] * B.R[6 + Col];
    A.Apply(B.T, M.T);
    return M;
}

Key Sample(const std::vector<Key>& Keys, double T) {
    size_t I = 0;
    while (I + 1 < Keys.size() && Keys[I].T < T)
        ++I;
    if (I == 0)
        return Keys[0];
    const Key& A = Keys[I - 1];
    const Key& B = Keys[I];
    const double S = (T - A.T) / (B.T - A.T);
    EXPECT_GT(S, 0.0);
    EXPECT_LT(S, 1.0) << "the starting frame must fall strictly between two keys";
    return {T, A.X + (B.X - A.X) * S, A.Y + (B.Y - A.Y) * S, A.Z + (B.Z - A.Z) * S};
}

int Find(const Model& M, const std::string& Name) {
    for (size_t I = 0; I < M.Bones.size(); ++I)
        if (M.Bones[I].Name == Name)
            return static_cast<int>(I);
    return -1;
}

// Every vertex where the game draws it: bound vertices go through rest-pose binding and the pose
// at the file's starting frame.
std::vector<std::vector<double>> PosedVertices(const Model& M) {
    std::vector<Rigid> Rest, Pose;
    for (const Bone& B : M.Bones) {
        const int P = B.Parent.empty() ? -1 : Find(M, B.Parent);
        const Rigid Local = Euler(B.Rot, B.Pos);
        const Key   KP = Sample(B.PosKeys, M.Frame), KR = Sample(B.RotKeys, M.Frame);
        const double KA[3] = {KR.X, KR.Y, KR.Z}, KT[3] = {KP.X, KP.Y, KP.Z};
        const Rigid Animated = Compose(Local, Euler(KA, KT));
        Rest.push_back(P < 0 ? Local : Compose(Rest[P], Local));
        Pose.push_back(P < 0 ? Animated : Compose(Pose[P], Animated));
    }
    std::vector<std::vector<double>> Out;
    for (const Mesh& Me : M.Meshes)
        for (const Vertex& V : Me.Vertices) {
            double P[3] = {V.X, V.Y, V.Z};
            if (V.Bone >= 0) {
                const Rigid& R = Rest[V.Bone];
                const double D[3] = {P[0] - R.T[0], P[1] - R.T[1], P[2] - R.T[2]};
                double Local[3];
                for (int I = 0; I < 3; ++I)
                    Local[I] = R.R[I] * D[0] + R.R[3 + I] * D[1] + R.R[6 + I] * D[2];
                Pose[V.Bone].Apply(Local, P);
            }
            Out.push_back({P[0], P[1], P[2]});
        }
    return Out;
}

struct Bounds {
    double Lo[3] = {1e9, 1e9, 1e9}, Hi[3] = {-1e9, -1e9, -1e9};
    double Size(int A) const { return Hi[A] - Lo[A]; }
    double Centre(int A) const { return (Hi[A] + Lo[A]) / 2; }
};

Bounds BoundsOf(const std::vector<std::vector<double>>& Points) {
    Bounds B;
    for (const auto& P : Points)
        for (int A = 0; A < 3; ++A) {
            B.Lo[A] = std::min(B.Lo[A], P[A]);
            B.Hi[A] = std::max(B.Hi[A], P[A]);
        }
    return B;
}

int TriangleCount(const Model& M) {
    int N = 0;
    for (const Mesh& Me : M.Meshes)
        N += static_cast<int>(Me.Triangles.size());
    return N;
}

} // namespace

TEST(Models, EveryFileIsCompleteAndConsistent) {
    for (const char* Name : ModelNames) {
        SCOPED_TRACE(Name);
        const Model M = Load(Name);
        EXPECT_GE(M.Frames, 1);
        EXPECT_GE(M.Frame, 0);
        ASSERT_FALSE(M.Meshes.empty());
        for (const Mesh& Me : M.Meshes) {
            SCOPED_TRACE(Me.Name);
            EXPECT_GE(Me.Material, 0);
            EXPECT_LT(Me.Material, static_cast<int>(M.ColourMaps.size()));
            EXPECT_FALSE(Me.Triangles.empty());
            for (const Vertex& V : Me.Vertices)
                EXPECT_TRUE(V.Bone >= -1 && V.Bone < static_cast<int>(M.Bones.size())) << V.Bone;
            for (const Triangle& T : Me.Triangles)
                for (int K = 0; K < 3; ++K) {
                    EXPECT_TRUE(T.V[K] >= 0 && T.V[K] < static_cast<int>(Me.Vertices.size()));
                    EXPECT_TRUE(T.N[K] >= 0 && T.N[K] < static_cast<int>(Me.Normals.size()));
                }
        }
        for (size_t I = 0; I < M.Bones.size(); ++I) {
            const Bone& B = M.Bones[I];
            EXPECT_FALSE(B.PosKeys.empty());
            EXPECT_FALSE(B.RotKeys.empty());
            for (const auto* Keys : {&B.PosKeys, &B.RotKeys})
                for (size_t K = 1; K < Keys->size(); ++K)
                    EXPECT_LT((*Keys)[K - 1].T, (*Keys)[K].T) << B.Name;
            if (!B.Parent.empty()) {
                const int P = Find(M, B.Parent);
                EXPECT_GE(P, 0) << B.Name << " has an unknown parent " << B.Parent;
                EXPECT_LT(P, static_cast<int>(I)) << B.Name << " is listed before its parent";
            }
        }
    }
}

TEST(Models, MaterialsNameGeneratedTextures) {
    for (const char* Name : ModelNames) {
        const Model M = Load(Name);
        for (const std::string& Map : M.ColourMaps) {
            EXPECT_EQ(Map.rfind("textures/", 0), 0u) << Name << ": " << Map;
            EXPECT_TRUE(std::filesystem::is_regular_file(DataDir() + "/" + Map)) << Name << ": " << Map;
        }
    }
}

TEST(Models, TrianglesWindCounterClockwiseWithOutwardNormals) {
    for (const char* Name : ModelNames) {
        const Model M = Load(Name);
        for (const Mesh& Me : M.Meshes)
            for (const Triangle& T : Me.Triangles) {
                const Vertex& A = Me.Vertices[T.V[0]];
                const Vertex& B = Me.Vertices[T.V[1]];
                const Vertex& C = Me.Vertices[T.V[2]];
                const double E1[3] = {B.X - A.X, B.Y - A.Y, B.Z - A.Z}, E2[3] = {C.X - A.X, C.Y - A.Y, C.Z - A.Z};
                const double F[3] = {E1[1] * E2[2] - E1[2] * E2[1], E1[2] * E2[0] - E1[0] * E2[2], E1[0] * E2[1] - E1[1] * E2[0]};
                double Dot = 0;
                for (int K = 0; K < 3; ++K)
                    for (int I = 0; I < 3; ++I)
                        Dot += F[I] * Me.Normals[T.N[K]][I];
                EXPECT_GT(Dot, 0.0) << Name << " mesh " << Me.Name << ": a triangle winds against its normals";
            }
    }
    // On the sphere, outward means away from the centre.
    const Model Sphere = Load("xpsphere.mdl");
    for (const Mesh& Me : Sphere.Meshes)
        for (const Triangle& T : Me.Triangles)
            for (int K = 0; K < 3; ++K) {
                const Vertex& V = Me.Vertices[T.V[K]];
                const auto&   N = Me.Normals[T.N[K]];
                EXPECT_GT(V.X * N[0] + V.Y * N[1] + V.Z * N[2], 0.0);
            }
}

TEST(Models, ActorsStandOnTheirBaseCentredAndSizedAsTheGameScalesThem) {
    struct Expect {
        const char* Name;
        double      Width, Height, Length, Slack;
    };
    const Expect Sizes[] = {{"hero.mdl", 30, 25, 40, 6},    {"tiger.mdl", 30, 25, 40, 6},
                            {"tiger_f.mdl", 30, 25, 40, 6}, {"turret.mdl", 30, 30, 30, 5},
                            {"turret_f.mdl", 30, 30, 30, 5}, {"bonus.mdl", 20, 20, 20, 4}};
    for (const Expect& E : Sizes) {
        SCOPED_TRACE(E.Name);
        const Bounds B = BoundsOf(PosedVertices(Load(E.Name)));
        EXPECT_NEAR(B.Lo[1], -10.0, 0.6) << "the base stands at y = -10";
        EXPECT_NEAR(B.Size(0), E.Width, E.Slack);
        EXPECT_NEAR(B.Size(1), E.Height, E.Slack);
        EXPECT_NEAR(B.Size(2), E.Length, E.Slack);
        EXPECT_NEAR(B.Centre(0), 0.0, 1.0);
        EXPECT_NEAR(B.Centre(2), 0.0, 2.5);
    }
}

TEST(Models, TanksFaceForwardAlongPlusZ) {
    // The gun is the part that reaches furthest along the model's front, +Z.
    for (const char* Name : {"hero.mdl", "tiger.mdl", "turret.mdl"}) {
        const Model M = Load(Name);
        const Bounds All = BoundsOf(PosedVertices(M));
        EXPECT_GT(All.Hi[2], -All.Lo[2] + 0.5) << Name << " reaches further forward than back";
    }
}

TEST(Models, FarModelsKeepTheOutlineWithAboutAFifthOfTheTriangles) {
    for (const auto& [Near, Far] : {std::pair{"tiger.mdl", "tiger_f.mdl"}, std::pair{"turret.mdl", "turret_f.mdl"}}) {
        SCOPED_TRACE(Far);
        const Model N = Load(Near), F = Load(Far);
        const double Ratio = double(TriangleCount(F)) / TriangleCount(N);
        EXPECT_GT(Ratio, 0.1);
        EXPECT_LT(Ratio, 0.3);
        const Bounds BN = BoundsOf(PosedVertices(N)), BF = BoundsOf(PosedVertices(F));
        for (int A = 0; A < 3; ++A) {
            EXPECT_NEAR(BN.Lo[A], BF.Lo[A], 1.5) << "axis " << A;
            EXPECT_NEAR(BN.Hi[A], BF.Hi[A], 1.5) << "axis " << A;
        }
    }
}

TEST(Models, SkinnedTanksHaveASkeletonThatReallyPoses) {
    for (const char* Name : {"hero.mdl", "tiger.mdl"}) {
        SCOPED_TRACE(Name);
        const Model M = Load(Name);
        ASSERT_GE(M.Bones.size(), 3u);
        int Bound = 0, Total = 0, Turned = 0, Keyed = 0;
        for (const Mesh& Me : M.Meshes)
            for (const Vertex& V : Me.Vertices) {
                ++Total;
                Bound += V.Bone >= 0;
            }
        for (const Bone& B : M.Bones) {
            Turned += std::fabs(B.Rot[0]) + std::fabs(B.Rot[1]) + std::fabs(B.Rot[2]) > 0.01;
            for (const Key& K : B.RotKeys)
                Keyed += std::fabs(K.X) + std::fabs(K.Y) + std::fabs(K.Z) > 0.01;
        }
        EXPECT_EQ(Bound, Total) << "every vertex is bound to a bone";
        EXPECT_GE(Turned, 2) << "bones with a rest rotation";
        EXPECT_GE(Keyed, 2) << "rotation keys that move";
        EXPECT_GT(M.Frame, 0);
        EXPECT_LE(M.Frame, M.Frames);
    }
}

TEST(Models, TheWalkerStrideLiftsOneDiagonalPairOfFeet) {
    // Posed at its starting frame the walker keeps two feet on the ground and lifts the other two.
    const Model M = Load("hero.mdl");
    const auto  Posed = PosedVertices(M);
    size_t      First = 0;
    std::vector<double> Lowest;
    for (const Mesh& Me : M.Meshes) {
        if (Me.Name == "Joints") {
            for (const char* Knee : {"KneeFrontLeft", "KneeFrontRight", "KneeRearLeft", "KneeRearRight"}) {
                const int B = Find(M, Knee);
                ASSERT_GE(B, 0) << Knee;
                double Low = 1e9;
                for (size_t I = 0; I < Me.Vertices.size(); ++I)
                    if (Me.Vertices[I].Bone == B)
                        Low = std::min(Low, Posed[First + I][1]);
                Lowest.push_back(Low);
            }
        }
        First += Me.Vertices.size();
    }
    ASSERT_EQ(Lowest.size(), 4u);
    EXPECT_NEAR(Lowest[0], -10.0, 0.3);   // front left and rear right stand
    EXPECT_NEAR(Lowest[3], -10.0, 0.3);
    EXPECT_GT(Lowest[1], Lowest[0] + 0.1);   // front right and rear left are lifted
    EXPECT_GT(Lowest[2], Lowest[3] + 0.1);
}
