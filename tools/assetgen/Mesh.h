// Mesh: building blocks of the model files - vectors, meshes with primitives, bones with keys, and
// the writer of the game's text model format.
#pragma once
#include <string>
#include <vector>

struct Vec3 {
    double X, Y, Z;
};
Vec3   operator+(Vec3 A, Vec3 B);
Vec3   operator-(Vec3 A, Vec3 B);
Vec3   operator*(Vec3 A, double S);
double Dot(Vec3 A, Vec3 B);
Vec3   Cross(Vec3 A, Vec3 B);
Vec3   Normalised(Vec3 A);

// A rotation (3 x 3, row-major) and a translation: the placement of a part or a bone.
struct Placement {
    double R[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    Vec3   T = {0, 0, 0};
    Vec3 Apply(Vec3 P) const;        // R * P + T
    Vec3 Rotate(Vec3 P) const;       // R * P
    Vec3 Unrotate(Vec3 P) const;     // transpose(R) * P
};
// The rotation the game's matrix unit builds from Euler angles in radians: Rz(z) * Ry(y) * Rx(x).
Placement EulerRotation(Vec3 Angles);
Placement Then(const Placement& Outer, const Placement& Inner);   // Outer after Inner
Placement At(Vec3 Origin, Vec3 Angles = {0, 0, 0});

struct MeshVertex {
    Vec3   P;
    double U, V;    // V counts down from the image's top row, as the model format stores it
    int    Bone;    // -1 = none
};
struct MeshTriangle {
    int V[3], N[3];
    int Group;      // smoothing group
};

class clsMesh {
  public:
    clsMesh(std::string Name, int Material);
    std::string Name;              // no blanks: the model format splits its header line at blanks
    int         Material;          // index into the model's materials, -1 = none
    std::vector<MeshVertex>   Vertices;
    std::vector<Vec3>         Normals;
    std::vector<MeshTriangle> Triangles;

    int Bone = -1;                  // bone that the following primitives are bound to
    Placement Place;                // where the following primitives are put (rotation + offset)
    double    TexScale = 1.0 / 16;  // texture repeats per model unit of the following primitives

    // Primitives, built in the local frame of Place. Every triangle winds counter-clockwise seen from
    // outside and every normal points outwards.
    void Box(Vec3 Centre, Vec3 Half);
    // A prism: the convex profile (z, y pairs) swept along x from X0 to X1.
    void ExtrudeX(const std::vector<std::pair<double, double>>& Profile, double X0, double X1);
    // A frustum along +Y from Base, radii R0 (bottom) and R1 (top), Segments around, with caps.
    void Cylinder(Vec3 Base, double R0, double R1, double Height, int Segments, bool Caps = true);
    void Sphere(Vec3 Centre, double Radius, int Rings, int Segments);
    // A flat disk facing +Y, textured with its own planar map (u, v in 0..1 across the disk).
    void Disk(Vec3 Centre, double Radius, int Segments);
    // A torus around the Y axis.
    void Torus(Vec3 Centre, double Major, double Minor, int Segments, int Sides);
    // Flat pieces of a convex part; Inside is a point inside the part, which tells outside from in.
    void Facet(Vec3 A, Vec3 B, Vec3 C, Vec3 Inside);                 // one flat triangle
    void FlatQuad(Vec3 A, Vec3 B, Vec3 C, Vec3 D, Vec3 Inside);      // corners in order round the quad

  private:
    int  AddVertex(Vec3 P, double U, double V);   // P in the local frame of Place
    int  AddNormal(Vec3 N);                       // N in the local frame of Place
    // Adds the triangle, turned round if needed so that it winds counter-clockwise seen from the side
    // its normals point to.
    void AddTriangle(int A, int B, int C, int NA, int NB, int NC, int Group);
};

struct ModelMaterial {
    std::string Name;
    double      Diffuse[3];
    std::string ColourMap;    // texture file relative to the game's data folder
};

struct ModelKey {
    double Time, X, Y, Z;     // frames; a position, or Euler angles in radians
};

struct ModelBone {
    std::string Name, Parent;            // Parent empty = root
    Vec3        Position, Rotation;      // relative to the parent
    Placement   Rest;                    // model-space rest transform (parent's rest * local)
    std::vector<ModelKey> PositionKeys, RotationKeys;
};

struct ModelFile {
    int Frames = 1;                      // animation length in frames
    int Frame = 1;                       // frame the game poses the model at
    std::vector<clsMesh>       Meshes;
    std::vector<ModelMaterial> Materials;
    std::vector<ModelBone>     Bones;

    // Adds a bone whose joint lies at the model-space point Joint, turned by Rotation (Euler radians)
    // relative to its parent, which must already exist. Returns its index.
    int AddBone(const std::string& Name, const std::string& Parent, Vec3 Joint, Vec3 Rotation);
    int BoneIndex(const std::string& Name) const;
    int TriangleCount() const;
};

// Writes the model in the text format; false when the file cannot be written.
bool WriteModel(const std::string& Path, const ModelFile& Model);
