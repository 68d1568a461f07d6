// The input records and the per-frame handlers that turn them into actions.
#include "shell/Input.h"

#include "shell/Window.h"

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

double PercentX(int32_t Pixels) { return double(int64_t(Pixels) * 100) / ScreenWidth; }
double PercentY(int32_t Pixels) { return double(int64_t(Pixels) * 100) / ScreenHeight; }

void ProcessGameKeys() {}
void UpdatePointer() {}
void ProcessMouseButtons() {}
void GrabPanel() {}
