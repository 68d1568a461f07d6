// Shared set-up of the menu tests: a freshly built menu table and quiet, known settings.
#pragma once
#include <gtest/gtest.h>
#include <type_traits>
#include <variant>

#include "menu/Menu.h"
#include "menu/PointerStars.h"
#include "menu/Settings.h"
#include "shell/App.h"
#include "shell/Input.h"
#include "shell/Window.h"
#include "world/World.h"

// One setting, whatever its type, read and set as a number.
using Setting = std::variant<int32_t*, int16_t*, float*, double*, bool*>;
inline double Held(const Setting& S) {
    return std::visit([](auto* V) { return double(*V); }, S);
}
inline void Set(const Setting& S, double Value) {
    std::visit([&](auto* V) { *V = static_cast<std::remove_pointer_t<decltype(V)>>(Value); }, S);
}

// Active pointer stars.
inline int CountPointerStars() {
    int Count = 0;
    for (const PointerStar& Star : PointerStars)
        if (Star.Life > 0) ++Count;
    return Count;
}

inline void ClearPointerStars() {
    for (PointerStar& Star : PointerStars)
        Star = PointerStar{};
}

// Puts the pointer at (X, Y) in screen percent.
inline void PointAt(float X, float Y) {
    MousePctX = X;
    MousePctY = Y;
}

// A left press at (X, Y) in screen percent, handled by the shell's per-frame button handler.
inline void ClickAt(float X, float Y) {
    PointAt(X, Y);
    MouseButton = 1;
    ProcessMouseButtons();
}

class MenuFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        for (MenuItem& Item : MenuItems)
            Item = MenuItem{};
        NextMenuItem = 1;
        BuildMenu();
        MenuPage = PageMain;
        PreviousMenuPage = 0;
        MenuTransition = 0.0;
        HoverItemY = -100.0;
        GameInProgress = false;
        GameState = 1;
        TextEditMode = 0;
        MouseButton = 0;
        SpeedFactor = 1.0f;
        ShowPointerStars = true;
        SoundEnabled = false;
        ClearPointerStars();
        Actors[0].Name = "PLAYER";
        Actors[0].ColorR = Actors[0].ColorG = Actors[0].ColorB = 1.0;
        for (bool& Key : Keys)
            Key = false;
    }
};
