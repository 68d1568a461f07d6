// Bitmap fonts: text drawn as textured quads cut from a font sheet, and the framed caption panel.
//
// A font sheet is one JPEG of light glyphs on black in a grid of equal cells; CharSet names the
// character in each cell, row by row from the top-left. Text is placed in the 0..100 overlay
// coordinates, x from the left and y down from the top edge of the screen.
#pragma once
#include <cstdint>
#include <string>

class OrinGLF {
  public:
    std::string CharSet;    // the characters of the sheet's cells, row by row from the top-left
    int32_t     Columns;    // cells per row of the sheet
    int32_t     Rows;       // rows of cells
    double      Size;       // glyph size in overlay units (cell width and nominal height)
    uint32_t    Texture;    // OpenGL texture name of the sheet; 0 when it failed to load
    double      Red;        // text colour, 0..1
    double      Green;      // text colour, 0..1
    double      Blue;       // text colour, 0..1
    bool        Loaded;     // a load raised no error; text is drawn only when true
    int32_t     ViewWidth;  // window width in pixels, for restoring the 3D projection
    int32_t     ViewHeight; // window height in pixels, for restoring the 3D projection
};

extern OrinGLF SmallFont; // "fonts\font.jpg", 14 x 7 cells, size 1.0: all printable ASCII
extern OrinGLF BigFont;   // "fonts\big.jpg", 6 x 7 cells, size 1.5: capitals, digits, "?!().,"

extern const char* const SmallFontCharSet; // 98 cells: " " to "~" with "(" ")" for "[" "]", 3 spaces
extern const char* const BigFontCharSet;   // 42 cells, no space and no lower case

void SetViewport(OrinGLF& Font, int32_t Width, int32_t Height); // stores the window size
// Loads Name + ".jpg" as the sheet (nearest filtering, no anisotropy) and stores the grid and set.
// A sheet that fails to load is reported by the texture loader and leaves Loaded true.
void LoadFont(OrinGLF& Font, const std::string& Name, const std::string& CharSet, int32_t Columns,
              int32_t Rows);
void SetFontSize(OrinGLF& Font, double Size);                           // overlay units
void SetFontColor(OrinGLF& Font, double Red, double Green, double Blue); // 0..1 each

// Draws Text with its top-left corner at overlay (X, 100 - Y). Alpha is the opacity and also
// scales the character advance and height. Leaves the 3D perspective (45 degrees) with identity
// model-view, the colour white and texturing on, even for empty text.
void PrintText(OrinGLF& Font, const std::string& Text, double X, double Y, double Alpha);

// The translucent box from (X, Y) to (X + W, Y + H), y from the top, at z = -0.4. Below alpha 1
// it is black with that opacity; at 1 it takes the current colour. A caption is printed in light
// green at size 1.2 half a unit above the box.
void DrawPanel(const std::string& Caption, double X, double Y, double W, double H, double Alpha);

// Creates both game fonts anew for a window of Width x Height pixels, loads their sheets and sets
// their sizes (1.0 and 1.5). Every game setup calls it; the previous sheets are not released,
// since a display-mode change may have destroyed the context they belonged to.
void CreateGameFonts(int32_t Width, int32_t Height);
