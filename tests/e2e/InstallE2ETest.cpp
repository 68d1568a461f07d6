// The installed game: `cmake --install` into a temporary prefix, started from an unrelated
// folder under Xvfb, full screen over a wide desktop. It must find its data in
// PREFIX/share/tarvix, take menu clicks through the scaled picture into a battle, and keep the
// files it writes (the custom arena, a screenshot) in $XDG_CONFIG_HOME/tarvix.
#include "platform/Png.h"
#include "support/Xvfb.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// An 800 x 600 picture full screen on a 1280 x 720 desktop: 960 x 720 from x = 160. Positions
// in percent of the picture become percent of the window.
constexpr double DesktopW = 1280, DesktopH = 720, PictureX = 160, PictureW = 960;
double           WindowPctX(double PicturePct) {
              return (PictureX + PicturePct * PictureW / 100) * 100 / DesktopW;
}

class InstallE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        char Pattern[] = "/tmp/tarvix-install-XXXXXX";
        ASSERT_NE(mkdtemp(Pattern), nullptr);
        Root = Pattern;
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        std::error_code Ignored;
        fs::remove_all(Root, Ignored);
    }
    fs::path Root;
};

} // namespace

TEST_F(InstallE2E, InstalledGameRunsFromAnywhereAndWritesToTheUserFolder) {
    const fs::path    Prefix = Root / "prefix";
    const std::string Install = "cmake --install '" TARVIX_BUILD_DIR "' --prefix '" +
                                Prefix.string() + "' > '" + (Root / "install.log").string() +
                                "' 2>&1";
    ASSERT_EQ(std::system(Install.c_str()), 0) << "cmake --install failed";
    EXPECT_TRUE(fs::is_regular_file(Prefix / "bin" / "tarvix"));
    EXPECT_TRUE(fs::is_directory(Prefix / "share" / "tarvix" / "models"));
    std::ifstream     Entry(Prefix / "share" / "applications" / "tarvix.desktop");
    const std::string EntryText{std::istreambuf_iterator<char>(Entry),
                                std::istreambuf_iterator<char>()};
    EXPECT_NE(EntryText.find("\nExec=" + (Prefix / "bin" / "tarvix").string() + "\n"),
              std::string::npos)
        << EntryText;
    EXPECT_NE(EntryText.find("\nIcon=tarvix\n"), std::string::npos) << EntryText;
    EXPECT_FALSE(fs::exists(Prefix / "share" / "tarvix" / "default.ini"))
        << "no build-time settings";
    int32_t              W = 0, H = 0;
    std::vector<uint8_t> Rgb;
    EXPECT_TRUE(
        ReadPng((Prefix / "share/icons/hicolor/256x256/apps/tarvix.png").string(), W, H, Rgb));
    EXPECT_EQ(W, 256);

    const fs::path Config = Root / "config";
    const fs::path Elsewhere = Root / "elsewhere";
    fs::create_directories(Elsewhere);
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
    clsXvfb X{int32_t(DesktopW), int32_t(DesktopH)};
    REQUIRE_XVFB(X);
    X.Binary = (Prefix / "bin" / "tarvix").string();
    ASSERT_TRUE(X.StartApp({}, Elsewhere.string()));
    ASSERT_TRUE(X.WaitForWindow()) << X.AppLog();
    EXPECT_EQ(X.WindowWidth, int32_t(DesktopW)) << "full screen at the desktop's own size";
    EXPECT_EQ(X.WindowHeight, int32_t(DesktopH));
    Pause(1.0);

    // Black bars at the sides, the menu in between.
    clsScreenshot Menu;
    ASSERT_TRUE(X.ScreenshotPpm(Menu));
    int BarLit = 0, PictureLit = 0;
    for (int32_t Y = 0; Y < Menu.Height; Y += 4) {
        for (int32_t Xp = 0; Xp < 150; Xp += 5)
            BarLit += Menu.At(Xp, Y)[0] + Menu.At(Xp, Y)[1] + Menu.At(Xp, Y)[2] > 30;
        for (int32_t Xp = 200; Xp < 1080; Xp += 5)
            PictureLit += Menu.At(Xp, Y)[0] + Menu.At(Xp, Y)[1] + Menu.At(Xp, Y)[2] > 30;
    }
    EXPECT_EQ(BarLit, 0) << "the left bar is black";
    EXPECT_GT(PictureLit, 100) << "the menu is drawn";

    // Start writes the arena file, then sets up the battle.
    for (const MenuSpot& S : {Spot::SinglePlayer, Spot::CustomArena, Spot::Start})
        ASSERT_TRUE(X.Press(WindowPctX(S.X), S.Y));
    const fs::path Written = Config / "tarvix";
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(Written / "lastarena.ini"); }, 10)) << X.AppLog();
    Pause(1.5);
    ASSERT_TRUE(X.SendKey("F12"));
    const auto ShotRead = [&] {
        std::error_code Missing;
        for (const auto& Entry : fs::directory_iterator(Written / "screenshots", Missing))
            if (ReadPng(Entry.path().string(), W, H, Rgb)) return true;
        return false;
    };
    EXPECT_TRUE(WaitUntil(ShotRead, 5));
    EXPECT_EQ(W, 800) << "the picture as drawn, at the mode's size, without the bars";
    EXPECT_EQ(H, 600);
    // In a battle Escape goes to the menu, where a second one ends the game.
    ASSERT_TRUE(X.SendKey("Escape"));
    Pause(1.0);
    ASSERT_TRUE(X.SendKey("Escape"));
    EXPECT_EQ(X.WaitForExit(10.0), 0) << X.AppLog();
    EXPECT_TRUE(fs::is_empty(Elsewhere)) << "nothing written in the working folder";
    EXPECT_FALSE(fs::exists(Prefix / "share" / "tarvix" / "lastarena.ini"));
}
