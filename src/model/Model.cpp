// clsModel: the text model loader (sections, parent links, rest pose, skin binding), the key
// tracks and the skeletal drawing in immediate mode.
#include "model/Model.h"
#include "platform/Platform.h"
#include "render/Textures.h"
#include <GL/gl.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>

namespace {

// Fewest lines each record of a section takes, so a count can be checked against the file.
constexpr size_t MeshMinLines = 4;     // header and the three count lines
constexpr size_t MaterialMinLines = 9; // name, four colours, shininess, transparency, two maps
constexpr size_t BoneMinLines = 5;     // name, parent, rest transform, two key counts

bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}
bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

bool StartsWith(std::string_view Line, std::string_view Prefix) {
    return Line.substr(0, Prefix.size()) == Prefix;
}

std::string RemoveQuotes(std::string_view Text) {
    std::string Result;
    for (char C : Text)
        if (C != '"') Result += C;
    return Result;
}

std::string RemoveAll(std::string_view Text, std::string_view Word) {
    std::string Result;
    size_t      Pos = 0;
    while (Pos < Text.size()) {
        if (Text.substr(Pos, Word.size()) == Word) {
            Pos += Word.size();
        } else {
            Result += Text[Pos];
            Pos++;
        }
    }
    return Result;
}

// Exactly one decimal integer with an optional sign; leading blanks allowed, nothing after it.
bool ParseInt(std::string_view Text, int32_t& Value) {
    size_t I = 0;
    while (I < Text.size() && IsBlank(Text[I]))
        I++;
    const bool Plus = I < Text.size() && Text[I] == '+';
    if (Plus) I++;
    if (I >= Text.size() || !(IsDigit(Text[I]) || (!Plus && Text[I] == '-'))) return false;
    const char* Begin = Text.data() + I;
    const char* End = Text.data() + Text.size();
    auto [Ptr, Error] = std::from_chars(Begin, End, Value);
    return Error == std::errc() && Ptr == End;
}

// A decimal real: optional sign, digits with an optional fraction, an optional exponent.
bool ParseReal(std::string_view Text, float& Value) {
    size_t I = 0;
    size_t Digits = 0;
    if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) I++;
    while (I < Text.size() && IsDigit(Text[I]))
        I++, Digits++;
    if (I < Text.size() && Text[I] == '.') {
        I++;
        while (I < Text.size() && IsDigit(Text[I]))
            I++, Digits++;
    }
    if (Digits == 0) return false;
    if (I < Text.size() && (Text[I] == 'e' || Text[I] == 'E')) {
        I++;
        if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) I++;
        size_t ExponentDigits = 0;
        while (I < Text.size() && IsDigit(Text[I]))
            I++, ExponentDigits++;
        if (ExponentDigits == 0) return false;
    }
    if (I != Text.size()) return false;
    const char* Begin = Text.data() + (Text[0] == '+' ? 1 : 0);
    double      Wide = 0;
    auto [Ptr, Error] = std::from_chars(Begin, Text.data() + Text.size(), Wide);
    if (Error != std::errc() || Ptr != Text.data() + Text.size()) return false;
    Value = float(Wide);
    return std::isfinite(Value);
}

// The numbers of one number line, read in order; whatever follows the last one is ignored.
class clsNumberLine {
  public:
    explicit clsNumberLine(std::string_view Line) : Line(Line) {}
    bool Int(int32_t& Value) { return ParseInt(NextWord(), Value); }
    bool Real(float& Value) { return ParseReal(NextWord(), Value); }
    bool Reals(float* Values, int Count) {
        for (int I = 0; I < Count; I++)
            if (!Real(Values[I])) return false;
        return true;
    }

  private:
    std::string_view NextWord() {
        while (Pos < Line.size() && IsBlank(Line[Pos]))
            Pos++;
        const size_t Start = Pos;
        while (Pos < Line.size() && !IsBlank(Line[Pos]))
            Pos++;
        return Line.substr(Start, Pos - Start);
    }
    std::string_view Line;
    size_t           Pos = 0;
};

// A count line of a section body: a number from 0 up to what the rest of the file can hold.
bool ReadCount(std::string_view Line, size_t LinesLeft, int32_t& Count) {
    clsNumberLine Numbers(Line);
    return Numbers.Int(Count) && Count >= 0 && size_t(Count) <= LinesLeft;
}

// Empty lines between two records of a section are passed over (hand-edited files have them).
void SkipEmptyLines(clsModelText& File) {
    while (!File.Eof() && File.PeekLine().empty())
        File.ReadLine();
}

// The count of a keyword line: the line without its keyword, checked against the lines left
// for records of at least MinLines lines each.
bool SectionCount(std::string_view Line, std::string_view Keyword, const clsModelText& File,
                  size_t MinLines, int32_t& Count) {
    return ParseInt(RemoveAll(Line, Keyword), Count) && Count >= 0 &&
           size_t(Count) <= File.LinesLeft() / MinLines;
}

bool ReadKeys(clsModelText& File, int32_t& Count, std::vector<clsKeyFrame>& Keys) {
    if (File.Eof() || !ReadCount(File.ReadLine(), File.LinesLeft(), Count)) return false;
    Keys.assign(size_t(Count), clsKeyFrame());
    for (clsKeyFrame& Key : Keys) {
        if (File.Eof()) return false;
        clsNumberLine Numbers(File.ReadLine());
        if (!Numbers.Real(Key.Time) || !Numbers.Real(Key.X) || !Numbers.Real(Key.Y) ||
            !Numbers.Real(Key.Z))
            return false;
    }
    return true;
}

} // namespace

// ---- the lines of a file ----

clsModelText::clsModelText(std::string Text) : Content(std::move(Text)) {
    std::string_view All(Content);
    size_t           Start = 0;
    while (Start < All.size()) {
        size_t End = All.find('\n', Start);
        if (End == std::string_view::npos) End = All.size();
        std::string_view Line = All.substr(Start, End - Start);
        if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
        Lines.push_back(Line);
        Start = End + 1;
    }
}

bool clsModelText::Eof() const {
    return Next >= Lines.size();
}

std::string_view clsModelText::ReadLine() {
    return Eof() ? std::string_view() : Lines[Next++];
}

std::string_view clsModelText::PeekLine() const {
    return Eof() ? std::string_view() : Lines[Next];
}

size_t clsModelText::LinesLeft() const {
    return Lines.size() - Next;
}

// ---- the section readers ----

namespace {

// A mesh line must be followed by another: a mesh is never the last thing in a file.
bool ReadMeshLine(clsModelText& File, std::string_view& Line) {
    Line = File.ReadLine();
    return !File.Eof();
}

bool ReadVertex(std::string_view Line, clsVec& Vertex) {
    clsNumberLine Numbers(Line);
    int32_t       Flags = 0;
    if (!Numbers.Int(Flags) || !Numbers.Real(Vertex.X) || !Numbers.Real(Vertex.Y) ||
        !Numbers.Real(Vertex.Z) || !Numbers.Real(Vertex.U) || !Numbers.Real(Vertex.V) ||
        !Numbers.Int(Vertex.BoneIndex))
        return false;
    Vertex.V = 1.0f - Vertex.V; // the file counts v from the top of the picture
    return true;
}

// Flags, three vertex indices, three normal indices and the smoothing group; every index must
// name an entry of its mesh.
bool ReadTriangle(std::string_view Line, const clsShape& Mesh, clsTri& Triangle) {
    clsNumberLine Numbers(Line);
    int32_t       Flags = 0;
    int32_t       Smoothing = 0;
    if (!Numbers.Int(Flags)) return false;
    for (int32_t& Index : Triangle.VertexIndices)
        if (!Numbers.Int(Index) || Index < 0 || Index >= Mesh.VertexCount) return false;
    for (int32_t& Index : Triangle.NormalIndices)
        if (!Numbers.Int(Index) || Index < 0 || Index >= Mesh.NormalCount) return false;
    return Numbers.Int(Smoothing);
}

// The mesh header after its quotes are removed: name, flags, material index.
bool ParseMeshHeader(std::string_view Header, int32_t& Material) {
    const size_t NameEnd = Header.find(' ');
    if (NameEnd == std::string_view::npos) return false;
    const std::string_view Rest = Header.substr(NameEnd + 1);
    const size_t           FlagsEnd = Rest.find(' ');
    int32_t                Flags = 0;
    if (FlagsEnd == std::string_view::npos) return false;
    return ParseInt(Rest.substr(0, FlagsEnd), Flags) &&
           ParseInt(Rest.substr(FlagsEnd + 1), Material);
}

} // namespace

bool clsShape::LoadFromFile(clsModelText& File) {
    std::string_view Line;
    if (!ReadMeshLine(File, Line) || !ReadCount(Line, File.LinesLeft(), VertexCount)) return false;
    Vertices.assign(size_t(VertexCount), clsVec());
    for (clsVec& Vertex : Vertices)
        if (!ReadMeshLine(File, Line) || !ReadVertex(Line, Vertex)) return false;

    if (!ReadMeshLine(File, Line) || !ReadCount(Line, File.LinesLeft(), NormalCount)) return false;
    Normals.assign(size_t(NormalCount), clsNormal());
    for (clsNormal& Normal : Normals) {
        if (!ReadMeshLine(File, Line)) return false;
        clsNumberLine Numbers(Line);
        if (!Numbers.Real(Normal.X) || !Numbers.Real(Normal.Y) || !Numbers.Real(Normal.Z))
            return false;
    }

    if (!ReadMeshLine(File, Line) || !ReadCount(Line, File.LinesLeft(), TriangleCount))
        return false;
    Triangles.assign(size_t(TriangleCount), clsTri());
    for (clsTri& Triangle : Triangles)
        if (!ReadMeshLine(File, Line) || !ReadTriangle(Line, *this, Triangle)) return false;
    return true;
}

bool clsMaterial::LoadFromFile(clsModelText& File) {
    SkipEmptyLines(File);
    if (File.Eof()) return false;
    Name = RemoveQuotes(File.ReadLine());
    for (float* Colour : {Ambient, Diffuse, Specular, Emissive})
        if (File.Eof() || !clsNumberLine(File.ReadLine()).Reals(Colour, 4)) return false;
    if (File.Eof() || !clsNumberLine(File.ReadLine()).Real(Shininess)) return false;
    if (File.Eof() || !clsNumberLine(File.ReadLine()).Real(Transparency)) return false;
    if (File.Eof()) return false;
    ColourMap = RemoveQuotes(File.ReadLine());
    if (File.Eof()) return false;
    AlphaMap = RemoveQuotes(File.ReadLine());

    Texture = 0;
    if (!ColourMap.empty())
        LoadTexture(NativePath(ColourMap), Texture, false, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 0);
    return true;
}

bool clsBone::LoadFromFile(clsModelText& File) {
    SkipEmptyLines(File);
    if (File.Eof()) return false;
    Name = RemoveQuotes(File.ReadLine());
    if (File.Eof()) return false;
    ParentName = RemoveQuotes(File.ReadLine());
    if (File.Eof()) return false;
    clsNumberLine Numbers(File.ReadLine());
    int32_t       Flags = 0;
    if (!Numbers.Int(Flags) || !Numbers.Reals(Position, 3) || !Numbers.Reals(Rotation, 3))
        return false;
    return ReadKeys(File, PositionKeyCount, PositionKeys) &&
           ReadKeys(File, RotationKeyCount, RotationKeys);
}

// ---- the model ----

void clsModel::Clear() {
    Frames = 0;
    Time = 0;
    MeshCount = 0;
    Meshes.clear();
    MeshMaterials.clear();
    MaterialCount = 0;
    Materials.clear();
    BoneCount = 0;
    Bones.clear();
}

bool clsModel::LoadFromFile(const std::string& FileName) {
    Clear();
    const std::string Path = NativePath(FileName);
    std::error_code   Error;
    if (!std::filesystem::is_regular_file(Path, Error)) return false;
    std::ifstream In(Path, std::ios::binary);
    return In && LoadFromStream(In);
}

bool clsModel::LoadFromStream(std::istream& Stream) {
    Clear();
    std::ostringstream Content;
    Content << Stream.rdbuf();
    if (Stream.bad()) return false;
    return LoadFromText(std::move(Content).str());
}

// Reading, then the steps that need the whole file: index checks, parent links, rest pose,
// skin binding and the pose at the starting frame.
bool clsModel::LoadFromText(std::string Content) {
    Clear();
    try {
        clsModelText File(std::move(Content));
        int32_t      StartFrame = 0; // a file without "Frame:" starts at frame 0
        if (!ReadSections(File, StartFrame) || !CheckIndices() || !LinkParents()) return false;
        SetupRestPose();
        BindSkin();
        AdvanceAnimation(float(StartFrame));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool clsModel::ReadSections(clsModelText& File, int32_t& StartFrame) {
    while (!File.Eof()) {
        const std::string_view Line = File.ReadLine();
        bool                   Good = true;
        if (Line.empty() || StartsWith(Line, "//")) continue;
        if (StartsWith(Line, "Frames:")) {
            int32_t Count = 0;
            Good = ParseInt(Line.substr(7), Count);
            Frames = float(Count);
        } else if (StartsWith(Line, "Frame:")) {
            Good = ParseInt(Line.substr(6), StartFrame);
        } else if (StartsWith(Line, "Meshes: ")) {
            Good = ReadMeshes(File, Line);
        } else if (StartsWith(Line, "Materials: ")) {
            Good = ReadMaterials(File, Line);
        } else if (StartsWith(Line, "Bones: ")) {
            Good = ReadBones(File, Line);
        }
        if (!Good) return false;
    }
    return true;
}

bool clsModel::ReadMeshes(clsModelText& File, std::string_view Line) {
    int32_t Count = 0;
    if (!SectionCount(Line, "Meshes: ", File, MeshMinLines, Count)) return false;
    MeshCount = Count;
    Meshes = std::vector<clsShape>(size_t(Count));
    MeshMaterials.assign(size_t(Count), -1);
    for (int32_t I = 0; I < Count; I++) {
        SkipEmptyLines(File);
        if (File.Eof() || !ParseMeshHeader(RemoveQuotes(File.ReadLine()), MeshMaterials[I]))
            return false;
        if (!Meshes[I].LoadFromFile(File)) return false;
    }
    return true;
}

bool clsModel::ReadMaterials(clsModelText& File, std::string_view Line) {
    int32_t Count = 0;
    if (!SectionCount(Line, "Materials: ", File, MaterialMinLines, Count)) return false;
    MaterialCount = Count;
    Materials = std::vector<clsMaterial>(size_t(Count));
    for (clsMaterial& Material : Materials)
        if (!Material.LoadFromFile(File)) return false;
    return true;
}

bool clsModel::ReadBones(clsModelText& File, std::string_view Line) {
    int32_t Count = 0;
    if (!SectionCount(Line, "Bones: ", File, BoneMinLines, Count)) return false;
    BoneCount = Count;
    Bones = std::vector<clsBone>(size_t(Count));
    for (clsBone& Bone : Bones)
        if (!Bone.LoadFromFile(File)) return false;
    return true;
}

// Every mesh material must exist (negative = none) and every skinned vertex name a bone.
bool clsModel::CheckIndices() const {
    for (int32_t Material : MeshMaterials)
        if (Material >= MaterialCount) return false;
    for (const clsShape& Mesh : Meshes)
        for (const clsVec& Vertex : Mesh.Vertices)
            if (Vertex.BoneIndex != -1 && (Vertex.BoneIndex < 0 || Vertex.BoneIndex >= BoneCount))
                return false;
    return true;
}

// The first bone of that name, the bone itself included, becomes the parent; names are
// compared byte for byte.
bool clsModel::LinkParents() {
    for (clsBone& Bone : Bones) {
        Bone.Parent = nullptr;
        if (Bone.ParentName.empty()) continue;
        for (clsBone& Candidate : Bones) {
            if (Candidate.Name == Bone.ParentName) {
                Bone.Parent = &Candidate;
                break;
            }
        }
        if (!Bone.Parent) return false;
    }
    return true;
}

void clsModel::SetupRestPose() {
    for (clsBone& Bone : Bones)
        Bone.SetupBone();
}

// Skinned vertices are kept in their bone's rest space, so drawing only has to apply the bone's
// current matrix.
void clsModel::BindSkin() {
    for (clsShape& Mesh : Meshes) {
        for (clsVec& Vertex : Mesh.Vertices) {
            if (Vertex.BoneIndex == -1) continue;
            const clsMatrix& Rest = Bones[size_t(Vertex.BoneIndex)].Absolute;
            float            Point[3] = {Vertex.X, Vertex.Y, Vertex.Z};
            Rest.InverseTranslateVect(Point);
            Rest.InverseRotateVect(Point);
            Vertex.X = Point[0];
            Vertex.Y = Point[1];
            Vertex.Z = Point[2];
        }
    }
}

// ---- posing ----

void KeyValueAt(const std::vector<clsKeyFrame>& Keys, float T, float Value[3]) {
    if (Keys.empty()) {
        Value[0] = Value[1] = Value[2] = 0;
        return;
    }
    size_t I = 0; // the first key at or after T, or the last key
    while (I + 1 < Keys.size() && Keys[I].Time < T)
        I++;
    const clsKeyFrame* Key = &Keys[I];
    if (Key->Time <= T) {
        // On a key or past the last one: hold it; of keys sharing that time the last counts.
        while (I + 1 < Keys.size() && Keys[I + 1].Time == Key->Time)
            Key = &Keys[++I];
    } else if (I > 0) {
        // Strictly between key I - 1 (before T) and key I (after T), so D > 0 and 0 < S < 1.
        const clsKeyFrame& Prev = Keys[I - 1];
        const float        D = Key->Time - Prev.Time;
        const float        S = (T - Prev.Time) / D;
        Value[0] = (Key->X - Prev.X) * S + Prev.X;
        Value[1] = (Key->Y - Prev.Y) * S + Prev.Y;
        Value[2] = (Key->Z - Prev.Z) * S + Prev.Z;
        return;
    }
    Value[0] = Key->X;
    Value[1] = Key->Y;
    Value[2] = Key->Z;
}

namespace {

clsMatrix RotationAndTranslation(const float Rotation[3], const float Translation[3]) {
    clsMatrix Result;
    Result.SetRotationRadians(Rotation);
    Result.SetTranslation(Translation);
    return Result;
}

} // namespace

void clsBone::SetupBone() {
    const clsMatrix Local = RotationAndTranslation(Rotation, Position);
    if (Parent) {
        Absolute = Parent->Absolute;
        Absolute.PostMultiply(Local);
    } else {
        Absolute = Local;
    }
}

void clsBone::AnimateBone(float T) {
    float KeyPosition[3];
    float KeyRotation[3];
    KeyValueAt(PositionKeys, T, KeyPosition);
    KeyValueAt(RotationKeys, T, KeyRotation);
    clsMatrix Local = RotationAndTranslation(Rotation, Position);
    Local.PostMultiply(RotationAndTranslation(KeyRotation, KeyPosition));
    if (Parent) {
        Absolute = Parent->Absolute; // a bone may be its own parent: copy before multiplying
        Absolute.PostMultiply(Local);
    } else {
        Absolute = Local;
    }
}

void clsModel::AdvanceAnimation(float Delta) {
    Time += Delta;
    if (Time > Frames) Time = 1.0f; // the loop restarts at frame 1, not 0
    for (clsBone& Bone : Bones)
        Bone.AnimateBone(Time);
}

// ---- drawing ----

void clsMaterial::ApplyMaterial() const {
    glMaterialfv(GL_FRONT, GL_AMBIENT, Ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, Diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, Specular);
    glMaterialfv(GL_FRONT, GL_EMISSION, Emissive);
    // OpenGL refuses exponents outside 0..128 and would keep the previous material's, so
    // exported values such as 16384 are held at the nearest end.
    glMaterialf(GL_FRONT, GL_SHININESS, std::clamp(Shininess, 0.0f, 128.0f));
    if (Texture == 0) {
        glDisable(GL_TEXTURE_2D);
    } else {
        glBindTexture(GL_TEXTURE_2D, Texture);
        glEnable(GL_TEXTURE_2D);
    }
}

namespace {

// A model that failed to load may hold triangles read before the fault; those are not drawn.
bool TriangleInMesh(const clsTri& Triangle, const clsShape& Mesh) {
    for (int K = 0; K < 3; K++) {
        if (Triangle.VertexIndices[K] < 0 ||
            size_t(Triangle.VertexIndices[K]) >= Mesh.Vertices.size() ||
            Triangle.NormalIndices[K] < 0 ||
            size_t(Triangle.NormalIndices[K]) >= Mesh.Normals.size())
            return false;
    }
    return true;
}

} // namespace

void clsModel::DrawMesh(size_t Index) const {
    const int32_t Material = MeshMaterials[Index];
    if (Material >= 0 && size_t(Material) < Materials.size())
        Materials[size_t(Material)].ApplyMaterial();
    else
        glDisable(GL_TEXTURE_2D); // untextured, in whatever material was set last

    const clsShape& Mesh = Meshes[Index];
    glBegin(GL_TRIANGLES);
    for (const clsTri& Triangle : Mesh.Triangles) {
        if (!TriangleInMesh(Triangle, Mesh)) continue;
        for (int K = 0; K < 3; K++) {
            const clsNormal& Normal = Mesh.Normals[size_t(Triangle.NormalIndices[K])];
            const clsVec&    Vertex = Mesh.Vertices[size_t(Triangle.VertexIndices[K])];
            glNormal3f(Normal.X, Normal.Y, Normal.Z); // normals are not turned by the bones
            glTexCoord2f(Vertex.U, Vertex.V);
            if (Vertex.BoneIndex >= 0 && size_t(Vertex.BoneIndex) < Bones.size()) {
                const clsMatrix& Pose = Bones[size_t(Vertex.BoneIndex)].Absolute;
                float            Point[3] = {Vertex.X, Vertex.Y, Vertex.Z};
                Pose.RotateVect(Point);
                Pose.TranslateVect(Point);
                glVertex3fv(Point);
            } else {
                glVertex3f(Vertex.X, Vertex.Y, Vertex.Z);
            }
        }
    }
    glEnd();
}

void clsModel::Draw() const {
    for (size_t I = 0; I < Meshes.size() && I < MeshMaterials.size(); I++)
        DrawMesh(I);
}

void clsBone::DrawBone() const {
    clsVec Joint;
    clsVec ParentJoint;
    Joint.Transform(Absolute);
    if (Parent)
        ParentJoint.Transform(Parent->Absolute);
    else
        ParentJoint = Joint;

    glDisable(GL_TEXTURE_2D);
    glLineWidth(1.0f);
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    glVertex3f(Joint.X, Joint.Y, Joint.Z);
    glVertex3f(ParentJoint.X, ParentJoint.Y, ParentJoint.Z);
    glEnd();

    glPointSize(2.0f);
    glColor3f(1, 0, 1);
    glBegin(GL_POINTS);
    glVertex3f(Joint.X, Joint.Y, Joint.Z);
    if (Parent) glVertex3f(ParentJoint.X, ParentJoint.Y, ParentJoint.Z);
    glEnd();
    glColor3f(1, 1, 1);
}

void clsModel::DrawSkeleton() const {
    for (const clsBone& Bone : Bones)
        Bone.DrawBone();
}
