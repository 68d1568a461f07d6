// Screenshots: F12 writes the picture as a readable PNG beside the settings files and says so.
#include "shell/Screenshot.h"
#include "platform/Png.h"
#include "platform/UserPaths.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "support/GLContext.h"
#include "support/TempFolder.h"
#include "core/EventLog.h"

#include <SDL_opengl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Red over the top half, blue below, one green pixel at the top-left: the file must show them
// the right way up.
void DrawKnownFrame(int W, int H) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, H / 2, W, H - H / 2);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 0, W, H / 2);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, H - 1, 1, 1);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
}

const uint8_t* PixelAt(const std::vector<uint8_t>& Rgb, int W, int X, int Y) {
    return &Rgb[(size_t(Y) * W + X) * 3];
}

} // namespace

TEST(Screenshot, F12WritesTheFrameAsAPngAndLogsItsName) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    clsTestGLContext Ctx(96, 64);
    REQUIRE_GL(Ctx);
    UserFolder.clear();
    PictureScaled = false;
    ScreenWidth = 96;
    ScreenHeight = 64;
    ResizeViewport(96, 64);
    DrawKnownFrame(96, 64);

    Keys[KeyF1 + 11] = true;
    ProcessScreenshotKey();
    EXPECT_FALSE(Keys[KeyF1 + 11]) << "one press, one picture";
    std::vector<fs::path> Files;
    for (const auto& Entry : fs::directory_iterator(Temp.Path / "screenshots"))
        Files.push_back(Entry.path());
    ASSERT_EQ(Files.size(), 1u);
    const std::string Name = Files[0].filename().string();
    EXPECT_EQ(Name.rfind("tarvix-", 0), 0u) << Name;
    EXPECT_EQ(Files[0].extension(), ".png");
    EXPECT_EQ(EventLog[LogLines - 1].Text.find("Screenshot saved: " + Name) != std::string::npos, true)
        << EventLog[LogLines - 1].Text;

    int32_t W = 0, H = 0;
    std::vector<uint8_t> Rgb;
    ASSERT_TRUE(ReadPng(Files[0].string(), W, H, Rgb));
    EXPECT_EQ(W, 96);
    EXPECT_EQ(H, 64);
    const uint8_t* TopLeft = PixelAt(Rgb, W, 0, 0);
    EXPECT_GT(TopLeft[1], 200);
    EXPECT_LT(TopLeft[0], 50);
    const uint8_t* Top = PixelAt(Rgb, W, 50, 5);
    EXPECT_GT(Top[0], 200);
    EXPECT_LT(Top[2], 50);
    const uint8_t* Bottom = PixelAt(Rgb, W, 50, 60);
    EXPECT_GT(Bottom[2], 200);
    EXPECT_LT(Bottom[0], 50);

    // A second one within the same second gets a name of its own.
    const std::string Second = TakeScreenshot();
    EXPECT_FALSE(Second.empty());
    EXPECT_NE(fs::path(Second).filename().string(), Name);
}

// Full screen the file holds the picture alone, at its size on the screen, without the bars.
TEST(Screenshot, LeavesTheBarsOutAndGoesToTheUserFolder) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    clsTestGLContext Ctx(160, 60);
    REQUIRE_GL(Ctx);
    UserFolder = (Temp.Path / "user").string();
    ScreenWidth = 640;
    ScreenHeight = 480;
    PictureScaled = true;
    ResizeViewport(160, 60);
    DrawKnownFrame(160, 60);
    const std::string Path = TakeScreenshot();
    PictureScaled = false;
    UserFolder.clear();
    ASSERT_FALSE(Path.empty());
    EXPECT_EQ(fs::path(Path).parent_path(), Temp.Path / "user" / "screenshots");
    int32_t W = 0, H = 0;
    std::vector<uint8_t> Rgb;
    ASSERT_TRUE(ReadPng(Path, W, H, Rgb));
    EXPECT_EQ(W, 80);
    EXPECT_EQ(H, 60);
}

TEST(Screenshot, AFolderThatCannotBeMadeIsReportedNotFatal) {
    clsTempFolder Temp;
    ASSERT_TRUE(Temp.Ready());
    clsTestGLContext Ctx(32, 32);
    REQUIRE_GL(Ctx);
    std::ofstream("screenshots") << "a file where the folder should be";
    ResizeViewport(32, 32);
    EXPECT_TRUE(TakeScreenshot().empty());
    EXPECT_NE(EventLog[LogLines - 1].Text.find("Screenshot failed"), std::string::npos);
}
