// Message boxes through SDL, with standard error as the record that always exists.
#include "platform/Platform.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

int         MessagesShown = 0;
std::string LastMessageText;
std::string LastMessageCaption;

void ShowMessage(const std::string& Text, const std::string& Caption) {
    ++MessagesShown;
    LastMessageText = Text;
    LastMessageCaption = Caption;
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
    if (std::getenv("TARVIX_NO_DIALOGS"))
        return;
    // A failure here means no dialog can be shown (no display); standard error already has it.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, Caption.c_str(), Text.c_str(), nullptr);
}

std::string NativePath(const std::string& Name) {
    std::string Path = Name;
    for (char& C : Path)
        if (C == '\\')
            C = '/';
    return Path;
}

void ClosePlatform() { SDL_Quit(); }
