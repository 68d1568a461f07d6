// A fresh folder under /tmp that is the working folder while it lives, removed afterwards.
// Tests that read or write the game's files (INI files, data links) work inside one.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

class clsTempFolder {
  public:
    explicit clsTempFolder(bool Enter = true) {
        std::string Pattern = "/tmp/tarvix-test-XXXXXX";
        if (!mkdtemp(Pattern.data()))
            return;
        Path = Pattern;
        Previous = std::filesystem::current_path();
        if (Enter)
            std::filesystem::current_path(Path);
    }
    ~clsTempFolder() {
        if (Path.empty())
            return;
        std::error_code Ignored;
        std::filesystem::current_path(Previous, Ignored);
        std::filesystem::remove_all(Path, Ignored);
    }
    clsTempFolder(const clsTempFolder&) = delete;
    clsTempFolder& operator=(const clsTempFolder&) = delete;

    bool Ready() const { return !Path.empty(); }

    // Links the generated data folders in, so the game's relative names resolve here.
    void LinkGameData(const std::string& DataFolder) const {
        for (const char* Sub : {"fonts", "models", "skybox", "sound", "textures"})
            std::filesystem::create_directory_symlink(DataFolder + "/" + Sub, Path / Sub);
    }

    std::filesystem::path Path;

  private:
    std::filesystem::path Previous;
};
