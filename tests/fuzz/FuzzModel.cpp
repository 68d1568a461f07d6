// Fuzz target: any bytes as a model file through the stream entry, which reads the whole stream
// and hands it to the text entry, so one parse covers both; a model accepted is then posed.
// It works in an empty folder of its own, so a colour map a model names is never found there.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "ScratchFolder.h"
#include "model/Model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    EnterScratchFolder();
    std::istringstream Stream(std::string(reinterpret_cast<const char*>(Data), Size));
    clsModel           Model;
    if (Model.LoadFromStream(Stream)) {
        // An accepted model is posed once more, and its tables hold what their counts say.
        Model.AdvanceAnimation(1.5f);
        if (Model.Bones.size() != size_t(Model.BoneCount)) abort();
        if (Model.Meshes.size() != size_t(Model.MeshCount)) abort();
        if (Model.MeshMaterials.size() != Model.Meshes.size()) abort();
        // Drawing and posing trust every index of an accepted model.
        for (const clsShape& Mesh : Model.Meshes) {
            for (const clsVec& Vertex : Mesh.Vertices)
                if (Vertex.BoneIndex != -1 && size_t(Vertex.BoneIndex) >= Model.Bones.size()) abort();
            for (const clsTri& Triangle : Mesh.Triangles)
                for (int K = 0; K < 3; K++)
                    if (size_t(Triangle.VertexIndices[K]) >= Mesh.Vertices.size() ||
                        size_t(Triangle.NormalIndices[K]) >= Mesh.Normals.size())
                        abort();
        }
    }
    return 0;
}
