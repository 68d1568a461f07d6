// A fuzz target's own empty working folder, in memory (/dev/shm) where there is one so the
// files a target writes cost no disk writes: entered on the first input, removed with whatever
// the target wrote into it when the process ends.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline std::string& ScratchFolderPath() {
    static std::string Path;
    return Path;
}

inline void RemoveScratchFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(ScratchFolderPath(), Ignored);
}

inline void EnterScratchFolder() {
    if (!ScratchFolderPath().empty()) return;
    std::string Folder = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    Folder += "/tarvix-fuzz-XXXXXX";
    if (mkdtemp(Folder.data()) == nullptr || chdir(Folder.c_str()) != 0) std::abort();
    ScratchFolderPath() = Folder;
    std::atexit(RemoveScratchFolder);
}
