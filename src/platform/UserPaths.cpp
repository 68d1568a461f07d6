// Data and user folders of the build and of an installed game.
#include "platform/UserPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

std::string UserFolder;

namespace fs = std::filesystem;

namespace {

std::string RunningExecutable() {
    std::error_code Error;
    const fs::path Exe = fs::read_symlink("/proc/self/exe", Error);
    return Error ? std::string() : Exe.string();
}

} // namespace

std::string InstalledDataFolder(const std::string& ExePath) {
    if (ExePath.empty())
        return {};
    const fs::path Bin = fs::path(ExePath).parent_path();
    if (Bin.filename() != "bin")
        return {};
    const fs::path Data = Bin.parent_path() / "share" / "tarvix";
    std::error_code Error;
    // The textures stand for the whole data set: without them the game is not installed here.
    if (!fs::is_directory(Data / "textures", Error))
        return {};
    return Data.string();
}

std::string UserConfigFolder() {
    const char* Xdg = std::getenv("XDG_CONFIG_HOME");
    // The base directory rules ignore a relative XDG_CONFIG_HOME.
    if (Xdg && Xdg[0] == '/')
        return (fs::path(Xdg) / "tarvix").string();
    const char* Home = std::getenv("HOME");
    return (fs::path(Home && Home[0] ? Home : "/tmp") / ".config" / "tarvix").string();
}

bool SetUpUserPaths() {
    UserFolder.clear();
    const std::string Data = InstalledDataFolder(RunningExecutable());
    if (Data.empty())
        return true;
    std::error_code Error;
    fs::current_path(Data, Error);
    if (Error)
        return false;
    const std::string User = UserConfigFolder();
    fs::create_directories(User, Error);
    if (Error)
        return false;
    UserFolder = User;
    return true;
}

std::string UserFilePath(const std::string& Name) {
    if (UserFolder.empty())
        return Name;
    return (fs::path(UserFolder) / fs::path(Name).lexically_normal()).string();
}
