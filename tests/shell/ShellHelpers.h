// Helpers of the shell tests: SDL events as the system would deliver them, and colour tests for
// pixels read back from a drawn frame.
#pragma once
#include <SDL.h>
#include <cstdint>
#include <vector>

inline SDL_Event KeyEvent(Uint32 Type, SDL_Keycode Sym, Uint16 Mod = KMOD_NONE,
                          bool Repeat = false) {
    SDL_Event E = {};
    E.type = Type;
    E.key.keysym.sym = Sym;
    E.key.keysym.mod = Mod;
    E.key.repeat = Repeat ? 1 : 0;
    return E;
}

inline SDL_Event ButtonEvent(Uint32 Type, Uint8 Button, int X, int Y) {
    SDL_Event E = {};
    E.type = Type;
    E.button.button = Button;
    E.button.x = X;
    E.button.y = Y;
    return E;
}

inline SDL_Event MotionEvent(int X, int Y) {
    SDL_Event E = {};
    E.type = SDL_MOUSEMOTION;
    E.motion.x = X;
    E.motion.y = Y;
    return E;
}

inline SDL_Event WindowEvent(Uint8 Event, int Data1 = 0, int Data2 = 0) {
    SDL_Event E = {};
    E.type = SDL_WINDOWEVENT;
    E.window.event = Event;
    E.window.data1 = Data1;
    E.window.data2 = Data2;
    return E;
}

inline bool IsRed(const std::vector<uint8_t>& P) {
    return P[0] > 200 && P[1] < 50 && P[2] < 50;
}
inline bool IsGreen(const std::vector<uint8_t>& P) {
    return P[0] < 50 && P[1] > 200 && P[2] < 50;
}
inline bool IsBlack(const std::vector<uint8_t>& P) {
    return P[0] < 20 && P[1] < 20 && P[2] < 20;
}
