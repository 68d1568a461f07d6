// Mesh: primitives, bone placement and the model file writer.
#include "Mesh.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {
constexpr double Pi = 3.14159265358979323846;
}

Vec3 operator+(Vec3 A, Vec3 B) { return {A.X + B.X, A.Y + B.Y, A.Z + B.Z}; }
Vec3 operator-(Vec3 A, Vec3 B) { return {A.X - B.X, A.Y - B.Y, A.Z - B.Z}; }
Vec3 operator*(Vec3 A, double S) { return {A.X * S, A.Y * S, A.Z * S}; }
double Dot(Vec3 A, Vec3 B) { return A.X * B.X + A.Y * B.Y + A.Z * B.Z; }
Vec3 Cross(Vec3 A, Vec3 B) { return {A.Y * B.Z - A.Z * B.Y, A.Z * B.X - A.X * B.Z, A.X * B.Y - A.Y * B.X}; }
Vec3 Normalised(Vec3 A) {
    const double L = std::sqrt(Dot(A, A));
    return L > 0 ? A * (1.0 / L) : Vec3{0, 1, 0};
}

Vec3 Placement::Rotate(Vec3 P) const {
    return {R[0] * P.X + R[1] * P.Y + R[2] * P.Z, R[3] * P.X + R[4] * P.Y + R[5] * P.Z,
            R[6] * P.X + R[7] * P.Y + R[8] * P.Z};
}

Vec3 Placement::Unrotate(Vec3 P) const {
    return {R[0] * P.X + R[3] * P.Y + R[6] * P.Z, R[1] * P.X + R[4] * P.Y + R[7] * P.Z,
            R[2] * P.X + R[5] * P.Y + R[8] * P.Z};
}

Vec3 Placement::Apply(Vec3 P) const { return Rotate(P) + T; }

Placement EulerRotation(Vec3 A) {
    const double CR = std::cos(A.X), SR = std::sin(A.X), CP = std::cos(A.Y), SP = std::sin(A.Y);
    const double CY = std::cos(A.Z), SY = std::sin(A.Z);
    Placement P;
    // Columns are the images of the x, y and z axes, as the game's matrix unit stores them.
    const double M[9] = {CP * CY, CP * SY, -SP, SR * SP * CY - CR * SY, SR * SP * SY + CR * CY, SR * CP,
                         CR * SP * CY + SR * SY, CR * SP * SY - SR * CY, CR * CP};
    for (int Col = 0; Col < 3; ++Col)
        for (int Row = 0; Row < 3; ++Row)
            P.R[Row * 3 + Col] = M[Col * 3 + Row];
    return P;
}

Placement Then(const Placement& Outer, const Placement& Inner) {
    Placement P;
    for (int Row = 0; Row < 3; ++Row)
        for (int Col = 0; Col < 3; ++Col) {
            double S = 0;
            for (int K = 0; K < 3; ++K)
                S += Outer.R[Row * 3 + K] * Inner.R[K * 3 + Col];
            P.R[Row * 3 + Col] = S;
        }
    P.T = Outer.Apply(Inner.T);
    return P;
}

Placement At(Vec3 Origin, Vec3 Angles) {
    Placement P = EulerRotation(Angles);
    P.T = Origin;
    return P;
}

clsMesh::clsMesh(std::string MeshName, int MaterialIndex) : Name(std::move(MeshName)), Material(MaterialIndex) {}

int clsMesh::AddVertex(Vec3 P, double U, double V) {
    Vertices.push_back({Place.Apply(P), U, V, Bone});
    return static_cast<int>(Vertices.size()) - 1;
}

int clsMesh::AddNormal(Vec3 N) {
    Normals.push_back(Normalised(Place.Rotate(N)));
    return static_cast<int>(Normals.size()) - 1;
}

void clsMesh::AddTriangle(int A, int B, int C, int NA, int NB, int NC, int Group) {
    const Vec3 PA = Vertices[A].P, PB = Vertices[B].P, PC = Vertices[C].P;
    const Vec3 Face = Cross(PB - PA, PC - PA);
    const Vec3 Outward = Normals[NA] + Normals[NB] + Normals[NC];
    if (Dot(Face, Outward) < 0)
        Triangles.push_back({{A, C, B}, {NA, NC, NB}, Group});
    else
        Triangles.push_back({{A, B, C}, {NA, NB, NC}, Group});
}

void clsMesh::Facet(Vec3 A, Vec3 B, Vec3 C, Vec3 Inside) {
    Vec3 N = Normalised(Cross(B - A, C - A));
    if (Dot(N, A - Inside) < 0)
        N = N * -1.0;
    // Planar texture map in the facet's own plane.
    const Vec3 Across = Normalised(B - A), Up = Cross(N, Across);
    auto Map = [&](Vec3 P, double& U, double& V) {
        U = Dot(P - A, Across) * TexScale;
        V = -Dot(P - A, Up) * TexScale;
    };
    double U[3], V[3];
    Map(A, U[0], V[0]);
    Map(B, U[1], V[1]);
    Map(C, U[2], V[2]);
    const int NI = AddNormal(N);
    AddTriangle(AddVertex(A, U[0], V[0]), AddVertex(B, U[1], V[1]), AddVertex(C, U[2], V[2]), NI, NI, NI, 0);
}

void clsMesh::FlatQuad(Vec3 A, Vec3 B, Vec3 C, Vec3 D, Vec3 Inside) {
    Vec3 N = Normalised(Cross(C - A, D - B));
    if (Dot(N, A - Inside) < 0)
        N = N * -1.0;
    const Vec3 Across = Normalised(B - A), Up = Cross(N, Across);
    const Vec3 Corners[4] = {A, B, C, D};
    int Index[4];
    for (int K = 0; K < 4; ++K)
        Index[K] = AddVertex(Corners[K], Dot(Corners[K] - A, Across) * TexScale, -Dot(Corners[K] - A, Up) * TexScale);
    const int NI = AddNormal(N);
    AddTriangle(Index[0], Index[1], Index[2], NI, NI, NI, 0);
    AddTriangle(Index[0], Index[2], Index[3], NI, NI, NI, 0);
}

void clsMesh::Box(Vec3 C, Vec3 H) {
    auto P = [&](int SX, int SY, int SZ) { return Vec3{C.X + SX * H.X, C.Y + SY * H.Y, C.Z + SZ * H.Z}; };
    FlatQuad(P(-1, -1, 1), P(1, -1, 1), P(1, 1, 1), P(-1, 1, 1), C);      // front, +z
    FlatQuad(P(1, -1, -1), P(-1, -1, -1), P(-1, 1, -1), P(1, 1, -1), C);  // back
    FlatQuad(P(1, -1, 1), P(1, -1, -1), P(1, 1, -1), P(1, 1, 1), C);      // right, +x
    FlatQuad(P(-1, -1, -1), P(-1, -1, 1), P(-1, 1, 1), P(-1, 1, -1), C);  // left
    FlatQuad(P(-1, 1, 1), P(1, 1, 1), P(1, 1, -1), P(-1, 1, -1), C);      // top
    FlatQuad(P(-1, -1, -1), P(1, -1, -1), P(1, -1, 1), P(-1, -1, 1), C);  // bottom
}

void clsMesh::ExtrudeX(const std::vector<std::pair<double, double>>& Profile, double X0, double X1) {
    double SZ = 0, SY = 0;
    for (const auto& [Z, Y] : Profile) {
        SZ += Z;
        SY += Y;
    }
    const Vec3 Inside = {(X0 + X1) / 2, SY / Profile.size(), SZ / Profile.size()};
    const size_t N = Profile.size();
    for (size_t I = 0; I < N; ++I) {
        const auto [ZA, YA] = Profile[I];
        const auto [ZB, YB] = Profile[(I + 1) % N];
        FlatQuad({X0, YA, ZA}, {X0, YB, ZB}, {X1, YB, ZB}, {X1, YA, ZA}, Inside);
    }
    for (size_t I = 1; I + 1 < N; ++I) {
        const auto [Z0, Y0] = Profile[0];
        const auto [ZA, YA] = Profile[I];
        const auto [ZB, YB] = Profile[I + 1];
        Facet({X1, Y0, Z0}, {X1, YA, ZA}, {X1, YB, ZB}, Inside);
        Facet({X0, Y0, Z0}, {X0, YB, ZB}, {X0, YA, ZA}, Inside);
    }
}

void clsMesh::Cylinder(Vec3 Base, double R0, double R1, double Height, int Segments, bool Caps) {
    // Side normals lean by the frustum's slope.
    const double Lean = (R0 - R1) / Height;
    const double Around = 2 * Pi * (R0 + R1) / 2 * TexScale;
    std::vector<int> Bottom, Top, Normal;
    for (int S = 0; S <= Segments; ++S) {
        const double A = 2 * Pi * S / Segments, CA = std::cos(A), SA = std::sin(A);
        Bottom.push_back(AddVertex({Base.X + CA * R0, Base.Y, Base.Z + SA * R0}, Around * S / Segments, Height * TexScale));
        Top.push_back(AddVertex({Base.X + CA * R1, Base.Y + Height, Base.Z + SA * R1}, Around * S / Segments, 0));
        Normal.push_back(AddNormal({CA, Lean, SA}));
    }
    for (int S = 0; S < Segments; ++S) {
        AddTriangle(Bottom[S], Top[S], Top[S + 1], Normal[S], Normal[S], Normal[S + 1], 1);
        AddTriangle(Bottom[S], Top[S + 1], Bottom[S + 1], Normal[S], Normal[S + 1], Normal[S + 1], 1);
    }
    if (!Caps)
        return;
    const Vec3 Inside = {Base.X, Base.Y + Height / 2, Base.Z};
    for (int S = 1; S + 1 < Segments; ++S) {
        auto Ring = [&](double R, double Y, int K) {
            const double A = 2 * Pi * K / Segments;
            return Vec3{Base.X + std::cos(A) * R, Y, Base.Z + std::sin(A) * R};
        };
        Facet(Ring(R1, Base.Y + Height, 0), Ring(R1, Base.Y + Height, S), Ring(R1, Base.Y + Height, S + 1), Inside);
        Facet(Ring(R0, Base.Y, 0), Ring(R0, Base.Y, S + 1), Ring(R0, Base.Y, S), Inside);
    }
}

void clsMesh::Sphere(Vec3 Centre, double Radius, int Rings, int Segments) {
    std::vector<std::vector<int>> V(Rings + 1), N(Rings + 1);
    for (int R = 0; R <= Rings; ++R) {
        const double Polar = Pi * R / Rings;
        for (int S = 0; S <= Segments; ++S) {
            const double A = 2 * Pi * S / Segments;
            const Vec3 Dir = {std::sin(Polar) * std::cos(A), std::cos(Polar), std::sin(Polar) * std::sin(A)};
            V[R].push_back(AddVertex(Centre + Dir * Radius, double(S) / Segments, double(R) / Rings));
            N[R].push_back(AddNormal(Dir));
        }
    }
    for (int R = 0; R < Rings; ++R)
        for (int S = 0; S < Segments; ++S) {
            if (R > 0)
                AddTriangle(V[R][S], V[R][S + 1], V[R + 1][S], N[R][S], N[R][S + 1], N[R + 1][S], 1);
            if (R + 1 < Rings)
                AddTriangle(V[R][S + 1], V[R + 1][S + 1], V[R + 1][S], N[R][S + 1], N[R + 1][S + 1], N[R + 1][S], 1);
        }
}

void clsMesh::Disk(Vec3 Centre, double Radius, int Segments) {
    const int NI = AddNormal({0, 1, 0});
    const int Middle = AddVertex(Centre, 0.5, 0.5);
    std::vector<int> Rim;
    for (int S = 0; S <= Segments; ++S) {
        const double A = 2 * Pi * S / Segments, CA = std::cos(A), SA = std::sin(A);
        Rim.push_back(AddVertex({Centre.X + CA * Radius, Centre.Y, Centre.Z + SA * Radius}, 0.5 + CA / 2, 0.5 + SA / 2));
    }
    for (int S = 0; S < Segments; ++S)
        AddTriangle(Middle, Rim[S], Rim[S + 1], NI, NI, NI, 0);
}

void clsMesh::Torus(Vec3 Centre, double Major, double Minor, int Segments, int Sides) {
    std::vector<std::vector<int>> V(Segments + 1), N(Segments + 1);
    for (int S = 0; S <= Segments; ++S) {
        const double A = 2 * Pi * S / Segments, CA = std::cos(A), SA = std::sin(A);
        for (int K = 0; K <= Sides; ++K) {
            const double B = 2 * Pi * K / Sides, CB = std::cos(B), SB = std::sin(B);
            const Vec3 Dir = {CA * CB, SB, SA * CB};
            const Vec3 P = {Centre.X + CA * (Major + Minor * CB), Centre.Y + Minor * SB, Centre.Z + SA * (Major + Minor * CB)};
            V[S].push_back(AddVertex(P, 4.0 * S / Segments, double(K) / Sides));
            N[S].push_back(AddNormal(Dir));
        }
    }
    for (int S = 0; S < Segments; ++S)
        for (int K = 0; K < Sides; ++K) {
            AddTriangle(V[S][K], V[S + 1][K], V[S + 1][K + 1], N[S][K], N[S + 1][K], N[S + 1][K + 1], 1);
            AddTriangle(V[S][K], V[S + 1][K + 1], V[S][K + 1], N[S][K], N[S + 1][K + 1], N[S][K + 1], 1);
        }
}

int ModelFile::AddBone(const std::string& Name, const std::string& Parent, Vec3 Joint, Vec3 Rotation) {
    ModelBone B;
    B.Name = Name;
    B.Parent = Parent;
    B.Rotation = Rotation;
    const int P = Parent.empty() ? -1 : BoneIndex(Parent);
    const Placement ParentRest = P < 0 ? Placement{} : Bones[P].Rest;
    // The file stores the joint relative to the parent, in the parent's turned frame.
    B.Position = ParentRest.Unrotate(Joint - ParentRest.T);
    B.Rest = Then(ParentRest, At(B.Position, Rotation));
    Bones.push_back(B);
    return static_cast<int>(Bones.size()) - 1;
}

int ModelFile::BoneIndex(const std::string& Name) const {
    for (size_t I = 0; I < Bones.size(); ++I)
        if (Bones[I].Name == Name)
            return static_cast<int>(I);
    return -1;
}

int ModelFile::TriangleCount() const {
    int N = 0;
    for (const clsMesh& M : Meshes)
        N += static_cast<int>(M.Triangles.size());
    return N;
}

namespace {

// Numbers are written with six decimals; a negative zero is written as 0 so files read cleanly.
std::string Num(double V) {
    if (std::fabs(V) < 5e-7)
        V = 0.0;
    char Buffer[32];
    std::snprintf(Buffer, sizeof Buffer, "%.6f", V);
    return Buffer;
}

std::string Line3(Vec3 V) { return Num(V.X) + " " + Num(V.Y) + " " + Num(V.Z); }

void WriteMesh(std::string& Out, const clsMesh& M) {
    Out += "\"" + M.Name + "\" 0 " + std::to_string(M.Material) + "\n";
    Out += std::to_string(M.Vertices.size()) + "\n";
    for (const MeshVertex& V : M.Vertices)
        Out += "0 " + Line3(V.P) + " " + Num(V.U) + " " + Num(V.V) + " " + std::to_string(V.Bone) + "\n";
    Out += std::to_string(M.Normals.size()) + "\n";
    for (const Vec3& N : M.Normals)
        Out += Line3(N) + "\n";
    Out += std::to_string(M.Triangles.size()) + "\n";
    for (const MeshTriangle& T : M.Triangles) {
        Out += "0";
        for (int K = 0; K < 3; ++K)
            Out += " " + std::to_string(T.V[K]);
        for (int K = 0; K < 3; ++K)
            Out += " " + std::to_string(T.N[K]);
        Out += " " + std::to_string(T.Group) + "\n";
    }
}

void WriteMaterial(std::string& Out, const ModelMaterial& M) {
    const double* D = M.Diffuse;
    Out += "\"" + M.Name + "\"\n";
    Out += Num(D[0] * 0.3) + " " + Num(D[1] * 0.3) + " " + Num(D[2] * 0.3) + " 1.000000\n";   // ambient
    Out += Num(D[0]) + " " + Num(D[1]) + " " + Num(D[2]) + " 1.000000\n";                     // diffuse
    Out += "0.200000 0.200000 0.200000 1.000000\n";                                           // specular
    Out += "0.000000 0.000000 0.000000 1.000000\n";                                           // emissive
    Out += "8.000000\n1.000000\n";                                                            // shininess, transparency
    Out += "\"" + M.ColourMap + "\"\n\"\"\n";
}

void WriteBone(std::string& Out, const ModelBone& B) {
    Out += "\"" + B.Name + "\"\n\"" + B.Parent + "\"\n";
    Out += "8 " + Line3(B.Position) + " " + Line3(B.Rotation) + "\n";
    for (const std::vector<ModelKey>* Keys : {&B.PositionKeys, &B.RotationKeys}) {
        Out += std::to_string(Keys->size()) + "\n";
        for (const ModelKey& K : *Keys)
            Out += Num(K.Time) + " " + Line3({K.X, K.Y, K.Z}) + "\n";
    }
}

} // namespace

bool WriteModel(const std::string& Path, const ModelFile& Model) {
    std::string Out = "// Tarvix model, written by assetgen\n\n";
    Out += "Frames: " + std::to_string(Model.Frames) + "\n";
    Out += "Frame: " + std::to_string(Model.Frame) + "\n\n";
    Out += "Meshes: " + std::to_string(Model.Meshes.size()) + "\n";
    for (const clsMesh& M : Model.Meshes)
        WriteMesh(Out, M);
    Out += "\nMaterials: " + std::to_string(Model.Materials.size()) + "\n";
    for (const ModelMaterial& M : Model.Materials)
        WriteMaterial(Out, M);
    Out += "\nBones: " + std::to_string(Model.Bones.size()) + "\n";
    for (const ModelBone& B : Model.Bones)
        WriteBone(Out, B);
    std::unique_ptr<FILE, int (*)(FILE*)> File(std::fopen(Path.c_str(), "wb"), std::fclose);
    if (!File || std::fwrite(Out.data(), 1, Out.size(), File.get()) != Out.size()) {
        std::perror(Path.c_str());
        return false;
    }
    return true;
}
