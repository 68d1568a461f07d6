// The installed layout found beside the executable, the user's folder from the XDG rules, and
// the PNG writer and reader.
#include "platform/Png.h"
#include "platform/UserPaths.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one scope.
class clsEnv {
  public:
    clsEnv(const char* Name, const char* Value) : Name(Name) {
        if (const char* Old = std::getenv(Name))
            Saved = Old, Had = true;
        if (Value)
            setenv(Name, Value, 1);
        else
            unsetenv(Name);
    }
    ~clsEnv() {
        if (Had)
            setenv(Name, Saved.c_str(), 1);
        else
            unsetenv(Name);
    }

  private:
    const char* Name;
    std::string Saved;
    bool        Had = false;
};

} // namespace

TEST(UserPaths, TheInstalledDataIsFoundBesideBin) {
    clsTempFolder Temp(false);
    ASSERT_TRUE(Temp.Ready());
    const fs::path Prefix = Temp.Path / "prefix";
    fs::create_directories(Prefix / "bin");
    EXPECT_EQ(InstalledDataFolder((Prefix / "bin" / "tarvix").string()), "") << "no data yet";
    fs::create_directories(Prefix / "share" / "tarvix" / "textures");
    EXPECT_EQ(InstalledDataFolder((Prefix / "bin" / "tarvix").string()),
              (Prefix / "share" / "tarvix").string());
    // The build folder's executable is not an installed one, even with data nearby.
    fs::create_directories(Temp.Path / "build" / "share" / "tarvix" / "textures");
    EXPECT_EQ(InstalledDataFolder((Temp.Path / "build" / "tarvix").string()), "");
}

TEST(UserPaths, TheUserFolderFollowsXdgConfigHome) {
    clsEnv Home("HOME", "/home/someone");
    {
        clsEnv Xdg("XDG_CONFIG_HOME", "/tmp/conf");
        EXPECT_EQ(UserConfigFolder(), "/tmp/conf/tarvix");
    }
    {
        clsEnv Xdg("XDG_CONFIG_HOME", "relative/conf");
        EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/tarvix") << "a relative one is ignored";
    }
    clsEnv Xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(UserConfigFolder(), "/home/someone/.config/tarvix");
}

TEST(UserPaths, WrittenFilesGoToTheUserFolderWhenThereIsOne) {
    UserFolder.clear();
    EXPECT_EQ(UserFilePath("./default.ini"), "./default.ini");
    UserFolder = "/home/someone/.config/tarvix";
    EXPECT_EQ(UserFilePath("./default.ini"), "/home/someone/.config/tarvix/default.ini");
    EXPECT_EQ(UserFilePath("screenshots"), "/home/someone/.config/tarvix/screenshots");
    UserFolder.clear();
}

TEST(Png, WrittenPixelsReadBackExactly) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    std::vector<uint8_t> Rgb(5 * 3 * 3);
    for (size_t I = 0; I < Rgb.size(); ++I)
        Rgb[I] = uint8_t(I * 7);
    ASSERT_TRUE(WritePng("shot.png", 5, 3, Rgb));
    int32_t W = 0, H = 0;
    std::vector<uint8_t> Back;
    ASSERT_TRUE(ReadPng("shot.png", W, H, Back));
    EXPECT_EQ(W, 5);
    EXPECT_EQ(H, 3);
    EXPECT_EQ(Back, Rgb);
    EXPECT_FALSE(WritePng("no/such/folder/shot.png", 5, 3, Rgb));
    EXPECT_FALSE(WritePng("short.png", 5, 3, std::vector<uint8_t>(10)));
    EXPECT_FALSE(fs::exists("short.png"));
    std::ofstream("bad.png") << "not a png";
    EXPECT_FALSE(ReadPng("bad.png", W, H, Back));
}
