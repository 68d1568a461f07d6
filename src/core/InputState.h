// The input records every layer reads: the key table, the pointer, the display toggles, the
// camera mode and the positions of the movable heads-up panels. The event handler fills them,
// the per-frame handlers act on them.
#pragma once
#include <cstdint>

constexpr int32_t KeyCount = 256; // Keys is indexed by Windows virtual-key code
constexpr int32_t KeyBackspace = 8;
constexpr int32_t KeyReturn = 13;
constexpr int32_t KeyEscape = 27;
constexpr int32_t KeySpace = 32;
constexpr int32_t KeyLeft = 37;
constexpr int32_t KeyUp = 38;
constexpr int32_t KeyRight = 39;
constexpr int32_t KeyDown = 40;
constexpr int32_t KeyF1 = 112; // F1 to F12 are 112 to 123

// Panel sizes used for grabbing, percent of the screen.
constexpr double LogPanelWidth = 75.0;
constexpr double LogPanelHeight = 22.0;
constexpr double CompassPanelWidth = 10.0;
constexpr double CompassPanelHeight = 10.0;
constexpr double RadarPanelWidth = 22.0;
constexpr double RadarPanelHeight = 22.0;

extern bool    Keys[KeyCount]; // down from key press until release or until a handler clears it
extern float   RawMouseX;      // last pointer position, client pixels from the left
extern float   RawMouseY;      // last pointer position, client pixels from the top
extern bool    MouseMoved;     // set by pointer motion, cleared by UpdatePointer
extern float   MousePctX;      // pointer, percent of ScreenWidth from the left
extern float   MousePctY;      // pointer, percent of ScreenHeight from the top
extern int32_t MouseButton;    // 0 none, 1 left, 2 right, 3 middle held; -1 at start (none)
extern int32_t ClickX;         // client pixel where the held button went down; 0 after release
extern int32_t ClickY;         // client pixel where the held button went down; 0 after release
extern int16_t DragPanel;      // panel being dragged: 0 none, 1 log window, 2 compass, 3 radar
extern double  GrabOffsetX;    // pointer inside the dragged panel at the press, whole percent
extern double  GrabOffsetY;    // pointer inside the dragged panel at the press, whole percent
extern double  LogPanelX;      // log window top-left, percent from the left
extern double  LogPanelY;      // log window top-left, percent from the top
extern double  CompassPanelX;  // compass top-left, percent from the left
extern double  CompassPanelY;  // compass top-left, percent from the top
extern double  RadarPanelX;    // radar top-left, percent from the left
extern double  RadarPanelY;    // radar top-left, percent from the top
extern int32_t CameraMode;     // camera placement 1, 2 or 3
extern int32_t TextEditMode;   // 0 no text entry, 1 editing the player name
extern bool    ShowFPS;        // frame-rate figure shown
extern bool    ShowHelp;       // help text shown
extern bool    ShowRadar;      // radar panel shown
extern bool    ShowCrosshairs; // crosshairs shown
extern bool    ShowCompass;    // compass panel shown
extern bool    ShowTrees;      // trees drawn
extern bool    ShowLog;        // event-log window shown
extern bool    ShowParticles;  // particles drawn

// The game controller's left stick, set by the controller layer each frame.
extern double PadThrottle; // left stick forward (+) or back (-), 0..1 beyond the dead zone; 0 resting
extern double PadTurn;     // left stick right (+) or left (-), 0..1 beyond the dead zone; 0 resting

// The heads-up panels at the places a first start gives them, none being dragged.
void SetPanelStartPositions();

double PercentX(int32_t Pixels); // Pixels * 100 / ScreenWidth
double PercentY(int32_t Pixels); // Pixels * 100 / ScreenHeight
