// F12: the frame just drawn, saved as a PNG in "screenshots/" beside the settings files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PictureRect;

constexpr const char* ScreenshotFolder = "screenshots"; // beside "./default.ini"

// Reads the picture from the back buffer (call before the swap) and writes it as
// "screenshots/tarvix-YYYYMMDD-HHMMSS.png" (a "-2", "-3" ... added when taken within one second).
// Logs "Screenshot saved: NAME", or "Screenshot failed" when it cannot be written. Returns the
// path written, empty on failure.
std::string TakeScreenshot();

// The pixels of Area (GL's window coordinates, rows counted from the bottom) of the frame being
// drawn, the off-screen picture or else the back buffer, as RGB rows from the top.
std::vector<uint8_t> ReadFrameRows(const PictureRect& Area);

// Runs TakeScreenshot when F12 is down in Keys, and clears it: one press, one picture.
void ProcessScreenshotKey();
