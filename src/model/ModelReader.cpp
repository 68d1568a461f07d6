// The model file reader: lines, numbers and sections of a "models/" text file into a clsModel.
#include "model/Model.h"
#include "platform/Platform.h"
#include "render/Textures.h"
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
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
        LoadTexture(ColourMap, Texture, false, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, 0);
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

// A text with neither a "Frames:" line nor a section is not a model (an empty, garbage or
// wrong file): it is refused rather than read as a model of nothing.
bool clsModel::ReadSections(clsModelText& File, int32_t& StartFrame) {
    bool Recognised = false;
    while (!File.Eof()) {
        const std::string_view Line = File.ReadLine();
        bool                   Good = true;
        if (Line.empty() || StartsWith(Line, "//")) continue;
        if (StartsWith(Line, "Frames:") || StartsWith(Line, "Meshes: ") ||
            StartsWith(Line, "Materials: ") || StartsWith(Line, "Bones: "))
            Recognised = true;
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
    return Recognised;
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
