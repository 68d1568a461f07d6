// The input records, zero at start but for the pointer button (none yet).
#include "core/InputState.h"

#include "core/Screen.h"

bool    Keys[KeyCount] = {};
float   RawMouseX = 0.0f;
float   RawMouseY = 0.0f;
bool    MouseMoved = false;
float   MousePctX = 0.0f;
float   MousePctY = 0.0f;
int32_t MouseButton = -1;
int32_t ClickX = 0;
int32_t ClickY = 0;
int16_t DragPanel = 0;
double  GrabOffsetX = 0.0;
double  GrabOffsetY = 0.0;
double  LogPanelX = 0.0;
double  LogPanelY = 0.0;
double  CompassPanelX = 0.0;
double  CompassPanelY = 0.0;
double  RadarPanelX = 0.0;
double  RadarPanelY = 0.0;
int32_t CameraMode = 0;
int32_t TextEditMode = 0;
bool    ShowFPS = false;
bool    ShowHelp = false;
bool    ShowRadar = false;
bool    ShowCrosshairs = false;
bool    ShowCompass = false;
bool    ShowTrees = false;
bool    ShowLog = false;
bool    ShowParticles = false;

double PadThrottle = 0.0;
double PadTurn = 0.0;

double PercentX(int32_t Pixels) { return double(int64_t(Pixels) * 100) / ScreenWidth; }
double PercentY(int32_t Pixels) { return double(int64_t(Pixels) * 100) / ScreenHeight; }

void SetPanelStartPositions() {
    LogPanelX = 24.0;
    LogPanelY = 75.5;
    RadarPanelX = 1.0;
    RadarPanelY = 75.5;
    CompassPanelX = 1.0;
    CompassPanelY = 64.0;
    DragPanel = 0;
}
