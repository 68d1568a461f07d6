// Screenshots: the back buffer read with glReadPixels and written through the PNG unit.
#include "shell/Screenshot.h"

#include "core/EventLog.h"
#include "platform/Png.h"
#include "platform/UserPaths.h"
#include "shell/Input.h"
#include "shell/PictureBuffer.h"
#include "shell/Window.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr int32_t KeyF12 = KeyF1 + 11;

// Where the frame lies in what is being drawn: the whole off-screen picture at the mode's size
// in full screen, else the picture's part of the window (GL counts rows from the bottom).
PictureRect FrameArea() {
    if (PictureBuffered)
        return {0, 0, BufferWidth, BufferHeight};
    return {Picture.X, WindowPixelHeight - Picture.Y - Picture.Height, Picture.Width, Picture.Height};
}

std::string FreeName(const std::filesystem::path& Folder) {
    char Stamp[32];
    const std::time_t Now = std::time(nullptr);
    std::tm Local = {};
    localtime_r(&Now, &Local);
    std::strftime(Stamp, sizeof Stamp, "tarvix-%Y%m%d-%H%M%S", &Local);
    std::string Name = std::string(Stamp) + ".png";
    std::error_code Error;
    for (int Count = 2; std::filesystem::exists(Folder / Name, Error); ++Count)
        Name = std::string(Stamp) + "-" + std::to_string(Count) + ".png";
    return Name;
}

} // namespace

std::vector<uint8_t> ReadFrameRows(const PictureRect& Area) {
    const int32_t W = Area.Width;
    const int32_t H = Area.Height;
    std::vector<uint8_t> Bottom(size_t(W) * size_t(H) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(PictureBuffered ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glReadPixels(Area.X, Area.Y, W, H, GL_RGB, GL_UNSIGNED_BYTE, Bottom.data());
    std::vector<uint8_t> Top(Bottom.size());
    const size_t Row = size_t(W) * 3;
    for (int32_t Y = 0; Y < H; ++Y)
        std::copy_n(&Bottom[size_t(H - 1 - Y) * Row], Row, &Top[size_t(Y) * Row]);
    return Top;
}

std::string TakeScreenshot() {
    const std::filesystem::path Folder = UserFilePath(ScreenshotFolder);
    std::error_code Error;
    std::filesystem::create_directories(Folder, Error);
    const std::string Name = FreeName(Folder);
    const std::string Path = (Folder / Name).string();
    const PictureRect Area = FrameArea();
    if (Error || Area.Width <= 0 || Area.Height <= 0 ||
        !WritePng(Path, Area.Width, Area.Height, ReadFrameRows(Area))) {
        AddLogLine("Screenshot failed", 1.0, 0.0, 0.0);
        return {};
    }
    AddLogLine("Screenshot saved: " + Name, 1.0, 1.0, 1.0);
    return Path;
}

void ProcessScreenshotKey() {
    if (!Keys[KeyF12])
        return;
    Keys[KeyF12] = false;
    TakeScreenshot();
}
