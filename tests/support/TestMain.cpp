// Test entry: no dialog ever blocks a test, and GL tests use SDL's offscreen driver by default.
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>
#include <string>

// Mesa unloads its driver when the last GL context goes, and LeakSanitizer then sees the
// driver's allocations from "<unknown module>", which no suppression can name. Opening the
// driver libraries once more with RTLD_NODELETE keeps them mapped until the process ends, so
// the leak report names them and tests/support/lsan.supp can match them; leaks of our own code
// are still reported. A library that is not installed is simply skipped.
static void KeepGLDriversLoaded() {
    std::string DriverFolder;
    if (const char* Path = std::getenv("LIBGL_DRIVERS_PATH")) DriverFolder = Path;
    for (const char* Name : {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libGLdispatch.so.0"}) {
        void* Handle = dlopen(Name, RTLD_LAZY | RTLD_NODELETE);
        link_map* Map = nullptr;
        if (Handle && DriverFolder.empty() && dlinfo(Handle, RTLD_DI_LINKMAP, &Map) == 0 && Map) {
            const std::string Library = Map->l_name;
            DriverFolder = Library.substr(0, Library.rfind('/') + 1) + "dri";
        }
    }
    for (const char* Driver : {"swrast_dri.so", "kms_swrast_dri.so"})
        dlopen((DriverFolder + "/" + Driver).c_str(), RTLD_LAZY | RTLD_NODELETE);
}

int main(int argc, char** argv) {
    setenv("TARVIX_NO_DIALOGS", "1", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // OpenAL Soft reads its configuration once per process, at its first use: with the null
    // backend as the default, a test process that opened the sound layer early still hands a
    // working device to the sound cases that fork from it later (tests/support/SoundChild.h).
    setenv("ALSOFT_DRIVERS", "null", 0);
    KeepGLDriversLoaded();
    // The game programs that end-to-end tests start load the GL driver without the trick above,
    // so in a sanitizer build their exit would report the driver's allocations as leaks. This
    // process has already read its own options; only the children see the change.
    if (const char* Options = std::getenv("ASAN_OPTIONS"))
        setenv("ASAN_OPTIONS", (std::string(Options) + ":detect_leaks=0").c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
