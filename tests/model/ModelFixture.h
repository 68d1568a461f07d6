// Shared helpers of the model tests: a temporary working folder, small files, sample models.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Makes a fresh folder under /tmp and works inside it until destroyed.
class clsTempFolder {
  public:
    clsTempFolder() {
        char Pattern[] = "/tmp/tarvix-model-XXXXXX";
        const char* Made = mkdtemp(Pattern);
        Path = Made ? Made : "";
        Previous = std::filesystem::current_path();
        if (!Path.empty())
            std::filesystem::current_path(Path);
    }
    ~clsTempFolder() {
        std::filesystem::current_path(Previous);
        std::error_code Error;
        if (!Path.empty())
            std::filesystem::remove_all(Path, Error);
    }
    std::string           Path;
    std::filesystem::path Previous;
};

inline void WriteTextFile(const std::string& Name, const std::string& Content) {
    std::filesystem::path File(Name);
    if (File.has_parent_path())
        std::filesystem::create_directories(File.parent_path());
    std::ofstream Out(Name, std::ios::binary);
    Out << Content;
}

// A 2 x 2 uncompressed 24-bit bitmap of one colour.
inline void WriteSolidBmp(const std::string& Name, uint8_t R, uint8_t G, uint8_t B) {
    const int  RowBytes = 8; // 2 pixels of 3 bytes, padded to 4
    const int  DataSize = RowBytes * 2;
    const int  FileSize = 54 + DataSize;
    std::string Data(size_t(FileSize), '\0');
    auto Put32 = [&](int At, uint32_t V) {
        for (int I = 0; I < 4; I++)
            Data[size_t(At + I)] = char((V >> (8 * I)) & 0xFF);
    };
    auto Put16 = [&](int At, uint16_t V) {
        Data[size_t(At)] = char(V & 0xFF);
        Data[size_t(At + 1)] = char(V >> 8);
    };
    Data[0] = 'B';
    Data[1] = 'M';
    Put32(2, uint32_t(FileSize));
    Put32(10, 54);
    Put32(14, 40);
    Put32(18, 2);
    Put32(22, 2);
    Put16(26, 1);
    Put16(28, 24);
    Put32(34, uint32_t(DataSize));
    for (int Row = 0; Row < 2; Row++) {
        for (int Col = 0; Col < 2; Col++) {
            const size_t At = size_t(54 + Row * RowBytes + Col * 3);
            Data[At] = char(B);
            Data[At + 1] = char(G);
            Data[At + 2] = char(R);
        }
    }
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

// Where the shared third-party test inputs live (absent in a fresh clone).
inline std::string ThirdPartyFolder() { return std::string(TARVIX_SHARED_TESTDATA) + "/ms3d-ascii"; }
