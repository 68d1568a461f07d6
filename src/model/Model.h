// clsModel and its parts: a skeletal model read from the line-oriented text format of "models/".
//
// A file holds a header ("Frames:", "Frame:"), then "Meshes: ", "Materials: " and "Bones: "
// sections. Every loader routine returns false on bad or truncated input and never throws; the
// counts read are checked against what the rest of the file can hold before anything is sized.
#pragma once
#include "model/Matrix.h"
#include "model/Vector.h"
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// The lines of one model file, handed out in order without their line breaks ("\n" or "\r\n").
class clsModelText {
  public:
    explicit clsModelText(std::string Content);
    clsModelText(const clsModelText&) = delete; // the lines point into Content
    clsModelText&    operator=(const clsModelText&) = delete;
    bool             Eof() const;       // true once every line has been read
    std::string_view ReadLine();        // the next line; empty when Eof
    std::string_view PeekLine() const;  // the next line without taking it; empty when Eof
    size_t           LinesLeft() const; // lines not read yet

  private:
    std::string                   Content;
    std::vector<std::string_view> Lines;
    size_t                        Next = 0;
};

class clsNormal {
  public:
    float X = 0;
    float Y = 0;
    float Z = 0;
};

class clsTri {
  public:
    int32_t VertexIndices[3] = {0, 0, 0}; // into the mesh's Vertices
    int32_t NormalIndices[3] = {0, 0, 0}; // into the mesh's Normals
};

// One mesh.
class clsShape {
  public:
    // Reads the mesh body (counts, vertices, normals, triangles); false when the file ends
    // after any of its lines or a line does not hold its numbers.
    bool LoadFromFile(clsModelText& File);

    int32_t                VertexCount = 0;
    std::vector<clsVec>    Vertices;
    int32_t                TriangleCount = 0;
    std::vector<clsTri>    Triangles;
    int32_t                NormalCount = 0;
    std::vector<clsNormal> Normals;
};

class clsMaterial {
  public:
    // Reads the nine lines of one material and loads its colour map; false when the file ends
    // before any of them or a colour line does not hold its numbers.
    bool LoadFromFile(clsModelText& File);
    // Sets the OpenGL material and texture state for the triangles that follow.
    void ApplyMaterial() const;

    std::string Name;
    float       Ambient[4] = {0, 0, 0, 0};  // RGBA
    float       Diffuse[4] = {0, 0, 0, 0};  // RGBA
    float       Specular[4] = {0, 0, 0, 0}; // RGBA
    float       Emissive[4] = {0, 0, 0, 0}; // RGBA
    float       Shininess = 0;              // specular exponent as written
    float       Transparency = 0;           // stored only
    std::string ColourMap;                  // texture file name, relative to the working folder
    std::string AlphaMap;                   // stored only
    uint32_t    Texture = 0;                // OpenGL texture name; 0 = none
};

class clsKeyFrame {
  public:
    float Time = 0; // frames
    float X = 0;    // a position, or Euler angles in radians
    float Y = 0;
    float Z = 0;
};

// The value of a key track at time T (frames), linearly interpolated between its neighbouring
// keys. No keys give zeros; before the first key the first key holds, on or after the last key
// the last key holds, and of two keys with equal times the later one is taken.
void KeyValueAt(const std::vector<clsKeyFrame>& Keys, float T, float Value[3]);

class clsBone {
  public:
    // Reads one bone; false when the file ends before any of its lines or a line does not hold
    // its numbers.
    bool LoadFromFile(clsModelText& File);
    void SetupBone();          // rest pose: Absolute = parent's Absolute × local rest transform
    void AnimateBone(float T); // pose at time T in frames
    void DrawBone() const;     // the bone's line and joints of the skeleton view

    std::string Name;
    std::string ParentName;              // empty = root bone
    clsBone*    Parent = nullptr;        // linked by the loader; null for a root
    float       Position[3] = {0, 0, 0}; // relative to the parent
    float       Rotation[3] = {0, 0, 0}; // Euler angles in radians, relative to the parent
    clsMatrix   Absolute;                // current model-space transform
    int32_t     PositionKeyCount = 0;
    std::vector<clsKeyFrame> PositionKeys;
    int32_t                  RotationKeyCount = 0;
    std::vector<clsKeyFrame> RotationKeys; // angles in radians
};

class clsModel {
  public:
    clsModel() = default;
    clsModel(const clsModel&) = delete; // bones point at each other inside Bones
    clsModel& operator=(const clsModel&) = delete;

    // Reads the named file (backslashes allowed) and poses the model at its "Frame:" value;
    // true when the model is complete and every index in it is valid.
    bool LoadFromFile(const std::string& FileName);
    // The same from the file's whole content.
    bool LoadFromText(std::string Content);
    bool LoadFromStream(std::istream& Stream);

    // Moves Time on by Delta frames (past Frames it restarts at 1.0) and poses every bone.
    void AdvanceAnimation(float Delta);
    void Draw() const;         // every mesh at the current pose, in immediate mode
    void DrawSkeleton() const; // every bone as a red line to its parent with magenta joints

    float                    Frames = 0; // animation length in frames
    float                    Time = 0;   // current animation time in frames
    int32_t                  MeshCount = 0;
    std::vector<clsShape>    Meshes;
    std::vector<int32_t>     MeshMaterials; // material of each mesh; negative = none
    int32_t                  MaterialCount = 0;
    std::vector<clsMaterial> Materials;
    int32_t                  BoneCount = 0;
    std::vector<clsBone>     Bones; // in file order

  private:
    void Clear(); // back to the empty model
    bool ReadSections(clsModelText& File, int32_t& StartFrame);
    bool ReadMeshes(clsModelText& File, std::string_view Line);
    bool ReadMaterials(clsModelText& File, std::string_view Line);
    bool ReadBones(clsModelText& File, std::string_view Line);
    bool CheckIndices() const;
    bool LinkParents();
    void SetupRestPose();
    void BindSkin();
    void DrawMesh(size_t Index) const;
};
