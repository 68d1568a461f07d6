// Bitmap fonts: text as textured quads cut from a font sheet, and the framed caption panel.
#include "render/OrinGLFont.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <exception>

#include "render/Textures.h"
#include "render/View.h"

OrinGLF SmallFont;
OrinGLF BigFont;

// The square brackets' cells hold round ones, and three blank cells close the last row.
const char* const SmallFontCharSet =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ(\\)^_`abcdefghijklmnopqrstuvwxyz{|}~   ";
const char* const BigFontCharSet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789?!().,";

namespace {

constexpr double TextZ  = -0.01; // depth of glyph quads in the overlay
constexpr double PanelZ = -0.4;  // depth of panel boxes, behind their text

// The 2D projection PrintText sets for itself; OverlayMode is deliberately left alone.
void BeginTextProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 100, 0, 100, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Back to the 3D perspective, always 45 degrees, with the aspect stored by SetViewport.
void EndTextProjection(const OrinGLF& Font) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(Font.ViewWidth) / Font.ViewHeight, 0.1, 1500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// One glyph quad: character Index (0-based) of the text, sheet cell Cell (0-based).
void EmitGlyph(const OrinGLF& Font, size_t Index, size_t Cell, bool WholeSheet, double X, double Y,
               double Alpha) {
    const double Row    = static_cast<double>(Cell / Font.Columns + 1); // 1-based from the top
    const double Column = static_cast<double>(Cell % Font.Columns);
    const double S0     = Column / Font.Columns;
    const double T0     = 1.0 - Row / Font.Rows;     // bottom of the cell, t = 0 at the image bottom
    const double Hidden = 1.0 / (20.0 * Font.Rows);  // the lowest twentieth of a cell is never shown
    const double CellW  = 1.0 / Font.Columns;
    const double CellH  = 1.0 / Font.Rows;

    const double Left   = X + static_cast<double>(Index) * Font.Size * Alpha;
    const double Right  = Left + Font.Size;
    const double Top    = 100.0 - Y;
    const double Bottom = Top - Font.Size * Alpha;

    glColor4f(Font.Red, Font.Green, Font.Blue, Alpha);
    if (WholeSheet) {
        glTexCoord2d(0, 0), glVertex3d(Left, Bottom, TextZ);
        glTexCoord2d(1, 0), glVertex3d(Right, Bottom, TextZ);
        glTexCoord2d(1, 1), glVertex3d(Right, Top, TextZ);
        glTexCoord2d(0, 1), glVertex3d(Left, Top, TextZ);
        return;
    }
    glTexCoord2d(S0, T0 + Hidden), glVertex3d(Left, Bottom, TextZ);
    glTexCoord2d(S0 + CellW, T0 + Hidden), glVertex3d(Right, Bottom, TextZ);
    glTexCoord2d(S0 + CellW, T0 + CellH), glVertex3d(Right, Top, TextZ);
    glTexCoord2d(S0, T0 + CellH), glVertex3d(Left, Top, TextZ);
}

} // namespace

void SetViewport(OrinGLF& Font, int32_t Width, int32_t Height) {
    Font.ViewWidth  = Width;
    Font.ViewHeight = Height;
}

void LoadFont(OrinGLF& Font, const std::string& Name, const std::string& CharSet, int32_t Columns,
              int32_t Rows) {
    Font.Loaded = true;
    try {
        // The name goes as the game writes it ("fonts\font.jpg"), so a failure names the file
        // that way; the texture loader opens it by the native path.
        LoadTexture(Name + ".jpg", Font.Texture, false, GL_NEAREST, GL_NEAREST, 0);
        Font.Columns = Columns;
        Font.Rows    = Rows;
        Font.CharSet = CharSet;
    } catch (const std::exception&) {
        Font.Loaded = false;
    }
}

void SetFontSize(OrinGLF& Font, double Size) { Font.Size = Size; }

void SetFontColor(OrinGLF& Font, double Red, double Green, double Blue) {
    Font.Red   = Red;
    Font.Green = Green;
    Font.Blue  = Blue;
}

void PrintText(OrinGLF& Font, const std::string& Text, double X, double Y, double Alpha) {
    if (!Font.Loaded) return;
    BeginTextProjection();
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, Font.Texture);
    if (Alpha < 1) glDepthMask(GL_FALSE);
    // Black texels leave the background as it is; a glyph of colour (r, g, b) covers it by that.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);

    glBegin(GL_QUADS);
    if (Font.Columns > 0 && Font.Rows > 0) {
        for (size_t I = 0; I < Text.size(); ++I) {
            const size_t Cell = Font.CharSet.find(Text[I]); // the first occurrence wins
            if (Cell == std::string::npos) continue;        // an absent character leaves a gap
            EmitGlyph(Font, I, Cell, Text.size() == 1, X, Y, Alpha);
        }
    }
    glEnd();
    glDisable(GL_BLEND);

    EndTextProjection(Font);
    glColor3f(1, 1, 1);
    if (Alpha < 1) glDepthMask(GL_TRUE);
}

void DrawPanel(const std::string& Caption, double X, double Y, double W, double H, double Alpha) {
    SetOverlayMode(true);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    if (Alpha < 1) glColor4f(0, 0, 0, Alpha); // at full opacity the caller's colour stays
    glBegin(GL_QUADS);
    glVertex3d(X, 100 - Y, PanelZ);
    glVertex3d(X, 100 - Y - H, PanelZ);
    glVertex3d(X + W, 100 - Y - H, PanelZ);
    glVertex3d(X + W, 100 - Y, PanelZ);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    SetOverlayMode(false);

    if (Caption.empty()) return;
    SetFontSize(SmallFont, 1.2);
    SetFontColor(SmallFont, 0.5, 1.0, 0.5);
    PrintText(SmallFont, Caption, X + 0.5, Y - 0.5, 1);
}

void CreateGameFonts(int32_t Width, int32_t Height) {
    SmallFont = OrinGLF{};
    SetViewport(SmallFont, Width, Height);
    LoadFont(SmallFont, "fonts\\font", SmallFontCharSet, 14, 7);
    SetFontSize(SmallFont, 1.0);

    BigFont = OrinGLF{};
    SetViewport(BigFont, Width, Height);
    LoadFont(BigFont, "fonts\\big", BigFontCharSet, 6, 7);
    SetFontSize(BigFont, 1.5);
}
