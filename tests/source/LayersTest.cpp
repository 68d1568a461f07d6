// The source tree's layers: every #include "..." in src/ goes to the same unit's folder or to a
// lower layer. From the bottom:
//   platform   the units that stand in for the operating system and its libraries
//   core       the state every layer shares: game state and clock, input records, screen,
//              setting values, key bindings, the event log
//   images     render's image loading (render/Texture*, render/ImageDecoders*): decoding, the
//              cache and the upload, which the models load their colour maps through
//   model, sound
//   world, render   one layer: actors and shots are moved and drawn in the same pass, so the
//              two folders may include each other
//   menu
//   shell      the program, its loop, the window and events, the benchmark
//   main.cpp
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path SourceDir = fs::path(TARVIX_SOURCE_DIR) / "src";

// The folder a path below src/ belongs to ("" for a file at the top, such as main.cpp), with
// render's image loading counted apart from the rest of render.
std::string UnitOf(const std::string& RelativePath) {
    const size_t Slash = RelativePath.find('/');
    if (Slash == std::string::npos) return "";
    const std::string Folder = RelativePath.substr(0, Slash);
    const std::string Name = RelativePath.substr(Slash + 1);
    if (Folder == "render" &&
        (Name.rfind("Texture", 0) == 0 || Name.rfind("ImageDecoders", 0) == 0))
        return "images";
    return Folder;
}

// The layers from the bottom; "" is main.cpp at the top of src/.
const std::vector<std::vector<std::string>> Layers = {
    {"platform"},        {"core"}, {"images"}, {"model", "sound"},
    {"world", "render"}, {"menu"}, {"shell"},  {""}};

// The layer of a unit; -1 for a folder the layers do not know.
int LayerOf(const std::string& Unit) {
    for (size_t L = 0; L < Layers.size(); ++L)
        if (std::find(Layers[L].begin(), Layers[L].end(), Unit) != Layers[L].end()) return int(L);
    return -1;
}

bool IncludeAllowed(const std::string& From, const std::string& To) {
    if (From == To) return true;
    const int FromLayer = LayerOf(From);
    const int ToLayer = LayerOf(To);
    if (FromLayer < 0 || ToLayer < 0 || ToLayer > FromLayer) return false;
    if (ToLayer < FromLayer) return true;
    // Side by side only world and render; render's image loading counts as render there.
    const auto WorldOrRender = [](const std::string& U) { return U == "world" || U == "render"; };
    return WorldOrRender(From) && WorldOrRender(To);
}

// Calls Visit(file below src/, line number, text) for every line of every source file.
void ForEachSourceLine(
    const std::function<void(const std::string&, int, const std::string&)>& Visit) {
    for (const auto& Entry : fs::recursive_directory_iterator(SourceDir)) {
        const std::string Ext = Entry.path().extension().string();
        if (!Entry.is_regular_file() || (Ext != ".cpp" && Ext != ".h")) continue;
        const std::string File = fs::relative(Entry.path(), SourceDir).generic_string();
        std::ifstream     In(Entry.path());
        std::string       Text;
        for (int Line = 1; std::getline(In, Text); ++Line)
            Visit(File, Line, Text);
    }
}

} // namespace

TEST(Layers, RuleOrdersTheUnits) {
    EXPECT_TRUE(IncludeAllowed("shell", "menu"));
    EXPECT_TRUE(IncludeAllowed("world", "render"));
    EXPECT_TRUE(IncludeAllowed("render", "world"));
    EXPECT_TRUE(IncludeAllowed("model", "images"));
    EXPECT_TRUE(IncludeAllowed("render", "images"));
    EXPECT_FALSE(IncludeAllowed("menu", "shell"));
    EXPECT_FALSE(IncludeAllowed("world", "menu"));
    EXPECT_FALSE(IncludeAllowed("model", "render"));
    EXPECT_FALSE(IncludeAllowed("images", "render"));
    EXPECT_FALSE(IncludeAllowed("model", "sound"));
    EXPECT_FALSE(IncludeAllowed("core", "model"));
    EXPECT_FALSE(IncludeAllowed("platform", "core"));
    EXPECT_FALSE(IncludeAllowed("shell", "newfolder"));
    EXPECT_EQ(UnitOf("render/TextureCache.cpp"), "images");
    EXPECT_EQ(UnitOf("render/ImageDecoders.h"), "images");
    EXPECT_EQ(UnitOf("render/Scene.cpp"), "render");
    EXPECT_EQ(UnitOf("main.cpp"), "");
}

TEST(Layers, NoIncludeReachesUp) {
    const std::regex Pattern(R"re(^\s*#\s*include\s*"([^"]+)")re");
    int              Includes = 0;
    ForEachSourceLine([&](const std::string& File, int Line, const std::string& Text) {
        std::smatch Match;
        if (!std::regex_search(Text, Match, Pattern)) return;
        ++Includes;
        const std::string Target = Match[1];
        const std::string Where = File + ":" + std::to_string(Line) + " includes " + Target;
        if (!fs::exists(SourceDir / Target)) {
            ADD_FAILURE() << Where << ", which is not a path below src/";
        } else {
            EXPECT_TRUE(IncludeAllowed(UnitOf(File), UnitOf(Target)))
                << Where << ": " << UnitOf(File) << " may not include " << UnitOf(Target);
        }
    });
    EXPECT_GT(Includes, 100) << "the source tree was not found at " << SourceDir;
}

// The platform libraries' headers only in the units that stand in for the platform.
TEST(Layers, PlatformHeadersStayInTheirUnits) {
    const std::regex Library(
        R"re(^\s*#\s*include\s*<(SDL[^>]*|AL/[^>]*|sndfile\.h|jpeglib\.h|png\.h)>)re");
    const std::vector<std::string> Allowed = {"platform/",
                                              "shell/Window.cpp",
                                              "shell/Events.cpp",
                                              "shell/Gamepad.cpp",
                                              "shell/PictureBuffer.cpp",
                                              "sound/",
                                              "render/ImageDecoders.cpp"};
    ForEachSourceLine([&](const std::string& File, int, const std::string& Text) {
        std::smatch Match;
        if (!std::regex_search(Text, Match, Library)) return;
        bool Fits = false;
        for (const std::string& Prefix : Allowed)
            Fits = Fits || File.compare(0, Prefix.size(), Prefix) == 0;
        EXPECT_TRUE(Fits) << File << " includes <" << Match[1] << ">";
    });
}
