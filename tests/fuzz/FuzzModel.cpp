// Fuzz target: any bytes as a model file, through both the text and the stream entries.
#include <cstdint>
#include <sstream>
#include <string>

#include "model/Model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Content(reinterpret_cast<const char*>(Data), Size);
    {
        clsModel Model;
        if (Model.LoadFromText(Content)) Model.AdvanceAnimation(1.5f);
    }
    {
        clsModel Model;
        std::istringstream Stream(Content);
        Model.LoadFromStream(Stream);
    }
    return 0;
}
