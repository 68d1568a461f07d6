// assetgen: writes every texture, font sheet, model and sound the game loads into one folder.
// Everything is made here from fixed seeds, so two runs write identical files.
#include "Fonts.h"
#include "Icon.h"
#include "Models.h"
#include "Sounds.h"
#include "Textures.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <data folder>\n");
        return 2;
    }
    const std::filesystem::path Root = argv[1];
    for (const char* Folder : {"textures", "skybox", "fonts", "models", "sound/fx", "icon"}) {
        std::error_code Error;
        std::filesystem::create_directories(Root / Folder, Error);
        if (Error) {
            std::fprintf(stderr, "assetgen: cannot create %s: %s\n", (Root / Folder).c_str(), Error.message().c_str());
            return 1;
        }
    }
    const std::string Dir = Root.string();
    bool Ok = WriteGameTextures(Dir);
    Ok = WriteModelTextures(Dir) && Ok;
    Ok = WriteSkybox(Dir) && Ok;
    Ok = WriteFonts(Dir) && Ok;
    Ok = WriteModels(Dir) && Ok;
    Ok = WriteSounds(Dir) && Ok;
    Ok = WriteIcon(Dir) && Ok;
    return Ok ? 0 : 1;
}
