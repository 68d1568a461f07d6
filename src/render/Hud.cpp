// The heads-up display and the mouse pointer.
#include "render/Hud.h"

#include <GL/gl.h>

#include "core/EventLog.h"
#include "core/GameState.h"
#include "core/InputState.h"
#include "core/KeyBindings.h"
#include "core/Screen.h"
#include "platform/Numbers.h"
#include "render/OrinGLFont.h"
#include "render/Textures.h"
#include "render/View.h"
#include "world/Actors.h"
#include "world/Shots.h"
#include "world/World.h"

int32_t TargetSlot = 0;

const char* const  HelpTitleLine = "TARVIX (C) 2004 BY THE TARVIX TEAM";
const char* const  HelpContactLine = "Ideas, praise or bugs? Write to the Tarvix team at "
                                     "team@tarvix.example";
const HelpLine_Rec HelpLines[3] = {
    {8, "Use the arrow keys to move and 'a' to shoot.Toggles:"},
    {10, "'t' - Trees,'p' - Particles, 'c' - Camera,'f' - FPS"},
    {12, "'o' - cOmpass,'r' - Radar,'h' - Help,'s' - croSshairs"},
};

namespace {

// One movable panel: where it is, how big, and how it looks at rest and while dragged.
struct HudPanel_Rec {
    const char* Caption;      // "(mv)" is appended while the panel is dragged
    double*     X;            // top-left corner, percent from the left
    double*     Y;            //   percent from the top
    double      Width;        // percent of the screen
    double      Height;       //   percent of the screen
    double      Alpha;        // box opacity at rest
    double      DraggedAlpha; // box opacity while dragged
    int16_t     DragValue;    // DragPanel while this panel is dragged
};

const HudPanel_Rec LogPanel = {"Log Window",   &LogPanelX, &LogPanelY, LogPanelWidth,
                               LogPanelHeight, 0.8,        0.5,        1};
const HudPanel_Rec CompassPanel = {
    "Compass", &CompassPanelX, &CompassPanelY, CompassPanelWidth, CompassPanelHeight, 0.8, 0.5, 2};
const HudPanel_Rec RadarPanel = {"Radar",          &RadarPanelX, &RadarPanelY, RadarPanelWidth,
                                 RadarPanelHeight, 0.6,          0.3,          3};

void DrawMovablePanel(const HudPanel_Rec& Panel) {
    const bool  Dragged = DragPanel == Panel.DragValue;
    std::string Caption = Panel.Caption;
    if (Dragged) Caption += "(mv)";
    DrawPanel(Caption, *Panel.X, *Panel.Y, Panel.Width, Panel.Height,
              Dragged ? Panel.DraggedAlpha : Panel.Alpha);
}

// Step 1: four wedges pointing at the centre, red while they name a target.
void DrawCrosshair() {
    SetOverlayMode(true);
    glDisable(GL_TEXTURE_2D);
    glTranslatef(50.0f, float(CrosshairCentreY()), 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    static std::string Target; // kept between frames so its buffer is reused, not reallocated
    TargetSlot = FindTarget(Target);
    if (Target.empty())
        glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    else
        glColor4f(1.0f, 0.3f, 0.3f, 0.5f);
    for (int Wedge = 0; Wedge < 4; ++Wedge) {
        glBegin(GL_TRIANGLES);
        glVertex3f(-0.7f, -2.0f, 0.0f);
        glVertex3f(0.7f, -2.0f, 0.0f);
        glVertex3f(0.0f, -0.2f, 0.0f);
        glEnd();
        glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    }
    if (!Target.empty()) {
        SetFontColor(SmallFont, 1.0, 0.3, 0.3);
        SetFontSize(SmallFont, 1.4);
        // The text stands right of the crosshair and moves with it.
        PrintText(SmallFont, Target, 55, CameraMode == 1 ? 49 : 29, 1);
    }
    SetOverlayMode(false);
}

// Step 2: the last 18 lines, oldest at the top.
void DrawLogWindow() {
    DrawMovablePanel(LogPanel);
    SetFontSize(SmallFont, 0.8);
    for (int k = 1; k <= LogLines; ++k) {
        const LogString& Line = EventLog[k - 1];
        SetFontColor(SmallFont, Line.ColorR, Line.ColorG, Line.ColorB);
        PrintText(SmallFont, Line.Text, LogPanelX + 1, LogPanelY + 1 + k, 1);
    }
}

// Step 3: the magenta needle, turned with the player, under its box.
void DrawCompass() {
    SetOverlayMode(true);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glTranslatef(float(CompassPanelX + 5), float(100 - CompassPanelY - 5), 0.0f);
    glRotatef(Actors[0].Heading + 180.0f, 0.0f, 0.0f, 1.0f);
    glColor3f(1.0f, 0.0f, 1.0f);
    glBegin(GL_POLYGON);
    glVertex3f(0.0f, -2.0f, 0.0f);
    glVertex3f(-1.0f, 2.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(1.0f, 2.0f, 0.0f);
    glEnd();
    SetOverlayMode(false);
    DrawMovablePanel(CompassPanel);
}

void RadarQuad(double X, double Y, double Dx1, double Dy1, double Dx2, double Dy2, double Dx3,
               double Dy3, double Dx4, double Dy4) {
    glBegin(GL_QUADS);
    glVertex2d(X + Dx1, Y + Dy1);
    glVertex2d(X + Dx2, Y + Dy2);
    glVertex2d(X + Dx3, Y + Dy3);
    glVertex2d(X + Dx4, Y + Dy4);
    glEnd();
}

void DrawRadarShots() {
    for (const Shot_Rec& Shot : Shots) {
        if (Shot.Life <= ShotExplodeLife) continue;
        const Actor_Rec& Owner = Actors[Shot.Owner];
        glColor3d(Owner.ColorR, Owner.ColorG, Owner.ColorB);
        const double X = RadarPointX(Shot.X);
        const double Y = RadarPointY(Shot.Z);
        RadarQuad(X, Y, -0.1, -0.1, 0.1, -0.1, 0.1, 0.1, -0.1, 0.1);
    }
}

// Two lines that fade out from the player, 45 degrees either side of straight ahead.
void DrawViewCone() {
    const Actor_Rec& P = Actors[0];
    const double     Px = RadarPointX(P.X);
    const double     Py = RadarPointY(P.Z);
    for (const int Offset : {135, 45}) {
        int64_t A = Trunc(P.Heading) + Offset;
        if (A > 360) A -= 360;
        glBegin(GL_LINES);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glVertex2d(Px, Py);
        glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
        glVertex2d(Px + 2 * CosTableAt(A), Py + 2 * SinTableAt(A));
        glEnd();
    }
}

void DrawRadarActors() {
    for (int i = 0; i <= BattleSlotLast; ++i) {
        const Actor_Rec& A = Actors[i];
        if (A.Energy <= 0) continue;
        glColor3f(1.0f, 1.0f, 1.0f);
        const double X = RadarPointX(A.X);
        const double Y = RadarPointY(A.Z);
        if (i != 0 && i == TargetSlot) {
            glBegin(GL_LINE_STRIP);
            glVertex2d(X, Y - 0.6);
            glVertex2d(X + 0.6, Y);
            glVertex2d(X, Y + 0.6);
            glVertex2d(X - 0.6, Y);
            glVertex2d(X, Y - 0.6);
            glEnd();
        }
        glColor3d(A.ColorR, A.ColorG, A.ColorB);
        if (A.Kind == KindBonus)
            RadarQuad(X, Y, 0, -0.2, 0.2, 0, 0, 0.2, -0.2, 0);
        else if (A.Kind >= KindPlayer && A.Kind <= KindTurret)
            RadarQuad(X, Y, -0.2, -0.2, 0.2, -0.2, 0.2, 0.2, -0.2, 0.2);
    }
}

// A textured square from its top-left corner at (0, 0) to (Size, -Size), the texture's T
// coordinate TopT along the top edge and 1 - TopT along the bottom one.
void TexturedSquare(float Size, float TopT) {
    const float BottomT = 1.0f - TopT;
    glBegin(GL_QUADS);
    glTexCoord2f(0, TopT);
    glVertex2f(0, 0);
    glTexCoord2f(1, TopT);
    glVertex2f(Size, 0);
    glTexCoord2f(1, BottomT);
    glVertex2f(Size, -Size);
    glTexCoord2f(0, BottomT);
    glVertex2f(0, -Size);
    glEnd();
}

// A broken radar shows one of the three noise pictures, picked anew every frame.
void DrawRadarStatic() {
    const GLuint Noise[3] = {TexNoise1, TexNoise2, TexNoise3};
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, Noise[RandomInt(3)]);
    TexturedSquare(20, 0);
    glDisable(GL_TEXTURE_2D);
}

// Step 4: the frame, then shots, view cone and actors, or static while the radar is broken.
void DrawRadar() {
    SetOverlayMode(true);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glTranslatef(float(RadarPanelX + 1), float(100 - RadarPanelY - 1), 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(20, 0);
    glVertex2f(20, -20);
    glVertex2f(0, -20);
    glVertex2f(0, 0);
    glEnd();
    if (RadarWorking) {
        if (RadarShowsShots) DrawRadarShots();
        DrawViewCone();
        DrawRadarActors();
    } else
        DrawRadarStatic();
    SetOverlayMode(false);
    DrawMovablePanel(RadarPanel);
}

// Step 5.
void DrawHelp() {
    SetFontSize(BigFont, 2.0);
    SetFontColor(BigFont, 1.0, 0.5, 1.0);
    PrintText(BigFont, HelpTitleLine, 0, 1, 1);
    SetFontSize(SmallFont, 1.4);
    SetFontColor(SmallFont, 1.0, 0.5, 1.0);
    PrintText(SmallFont, HelpContactLine, 0, 5, 1);
    SetFontColor(SmallFont, 1, 1, 1);
    for (const HelpLine_Rec& Line : HelpLines)
        PrintText(SmallFont, BoundHelpText(Line.Text), 0, Line.Y, 1);
}

// Steps 6 to 8 set no size: they print in whatever size the small font was left with.
void DrawStatusLines() {
    const Actor_Rec& P = Actors[0];
    if (ShowFPS) PrintText(SmallFont, std::to_string(FramesPerSecond) + " FPS", 0, 14, 1);
    if (P.Energy < EnergyWarningLevel)
        SetFontColor(SmallFont, RandomReal() / 2 + 0.5, 0, 0);
    else
        SetFontColor(SmallFont, 0, 1, 1);
    static std::string EnergyScore; // kept between frames so its buffer is reused
    WriteEnergyScoreText(EnergyScore, P.Energy, Score);
    PrintText(SmallFont, EnergyScore, 0, 16, 1);
    SetFontColor(SmallFont, 1, 1, 1);
    if (P.ReloadTimer > 0) PrintText(SmallFont, ReloadText(P.ReloadTimer), 0, 22, 1);
}

// Step 9: the latest message in a box that fades, its text shrinking towards the left; a long
// message keeps more of its size.
void DrawMessageBox() {
    const double N = double(CurrentMessage.size());
    const double Fade = MessageTimer / 101;
    DrawPanel("Message", 0, 24, 2 * N, 5, Fade);
    SetFontSize(SmallFont, 2.0);
    SetFontColor(SmallFont, 1, 1, 1);
    PrintText(SmallFont, CurrentMessage, 0, 25.3, N / 60 + (1 - N / 60) * Fade);
    MessageTimer -= SpeedFactor;
}

void DrawGameOver() {
    SetFontSize(BigFont, 10.0);
    SetFontColor(BigFont, 1, 1, 1);
    PrintText(BigFont, "GAME OVER", 5, 30, 1);
}

} // namespace

double RadarPointX(double WorldX) {
    return 20 * WorldX / (ArenaScale * 100.0) + 10;
}

double RadarPointY(double WorldZ) {
    return -(20 * WorldZ / (ArenaScale * 100.0) + 10);
}

double CrosshairCentreY() {
    return CameraMode == 1 ? 50.0 : 70.0;
}

int32_t FindTarget(std::string& Text) {
    Text.clear();
    int32_t Found = 0;
    for (int i = 1; i <= BattleSlotLast; ++i) {
        if (!InLineOfFire(0, i)) continue;
        Text.assign(Actors[i].Name).append("-Energy: ").append(std::to_string(Actors[i].Energy));
        Found = i;
    }
    return Found;
}

void WriteEnergyScoreText(std::string& Text, int32_t Energy, int32_t Score) {
    Text.assign("Energy:").append(std::to_string(Energy)).append("  Score:").append(std::to_string(Score));
}

std::string EnergyScoreText(int32_t Energy, int32_t Score) {
    std::string Text;
    WriteEnergyScoreText(Text, Energy, Score);
    return Text;
}

std::string ReloadText(double ReloadTimer) {
    return "RELOADING..." + std::to_string(Trunc(ReloadTimer));
}

void DrawHud() {
    const Actor_Rec& P = Actors[0];
    if (P.Energy > 0 && ShowCrosshairs) DrawCrosshair();
    if (ShowLog) DrawLogWindow();
    if (ShowCompass) DrawCompass();
    if (ShowRadar) DrawRadar();
    if (ShowHelp) DrawHelp();
    DrawStatusLines();
    if (MessageTimer > 0) DrawMessageBox();
    if (P.Energy == 0) DrawGameOver();
    SetOverlayMode(false);
}

void DrawPointer() {
    SetOverlayMode(true);
    if (PointerTimer > 0) {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
        glBindTexture(GL_TEXTURE_2D, TexPointer);
        // A new colour every frame; the three draws are taken blue first, then green, then red.
        const double B = RandomReal();
        const double G = RandomReal();
        const double R = RandomReal();
        glColor4d(R, G, B, 1.0);
        glDepthMask(GL_FALSE);
        glTranslatef(MousePctX, 100.0f - MousePctY, 0.0f);
        TexturedSquare(3, 1);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
    }
    SetOverlayMode(false);
}
